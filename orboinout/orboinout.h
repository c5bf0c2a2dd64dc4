/* orboinout: the buffered, scrambled record stream in which database files are
 * written and read, and a flat file archive. One stream (or archive) at a time.
 *
 * Texts are 8-bit and zero-terminated. Numbers in the file are little-endian.
 * Stored paths may use "\" as separator; it is turned into the native one when
 * a path reaches the disk.
 */
#ifndef ORBOINOUT_ORBOINOUT_H
#define ORBOINOUT_ORBOINOUT_H

#include <stdint.h>

#ifdef _WIN32
#define OIO_CALL __stdcall
#ifdef ORBOINOUT_BUILDING
#define OIO_API __declspec(dllexport)
#else
#define OIO_API __declspec(dllimport)
#endif
#else
#define OIO_CALL
#define OIO_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Record stream ------------------------------------------------------ */

/* Longest string record a reader accepts; the destination of xcppInputS must
 * hold this many bytes. */
#define OIO_MAX_STRING 100000

/* Open a stream. Both reset the whole stream state (error flag, buffer,
 * offsets, default key). Result: the file handle, or -1 (and the error flag
 * set) when the file cannot be created or opened. */
OIO_API int32_t OIO_CALL cppOpenWrite(const char* path);
OIO_API int32_t OIO_CALL cppOpenInput(const char* path);

/* Replaces the scrambling key for the rest of the stream. An empty key is
 * ignored; a key longer than 511 bytes is cut to 511. Result: the key length
 * now in use. */
OIO_API int32_t OIO_CALL cppSetPassword(const char* key);

/* Header words: 4 bytes straight to or from the file's current position, not
 * scrambled. Use them before any buffered item. Result: 1 when the 4 bytes
 * were written or read, 0 otherwise (the destination is then unchanged). */
OIO_API int32_t OIO_CALL cppWriteH4(int32_t value);
OIO_API int32_t OIO_CALL cppInputH4(int32_t* value);

/* Buffered body items. Once the error flag is set they do nothing. */
OIO_API void OIO_CALL cppWrite4(int32_t value);
OIO_API void OIO_CALL cppWrite2(int16_t value);
OIO_API void OIO_CALL xcppWriteS(const char* text);
OIO_API void OIO_CALL cppInput4(int32_t* value);
OIO_API void OIO_CALL cppInput2(int16_t* value);

/* Consumes a string record of L bytes into dest (which must hold
 * OIO_MAX_STRING bytes): copies up to the first zero byte and zero-fills the
 * rest of the L bytes; no terminator is added. Result: the new buffer
 * position, or 1 when nothing was read (error flag, or the body ended). */
OIO_API int32_t OIO_CALL xcppInputS(char* dest);

/* cppCloseWrite writes what is buffered and closes the file. Result: non-zero
 * when every byte of the stream reached the file and the file closed; 0 when
 * the open, any write or the close failed. cppCloseInput closes the file;
 * result non-zero when a file was open and closed. */
OIO_API int32_t OIO_CALL cppCloseWrite(void);
OIO_API int32_t OIO_CALL cppCloseInput(void);

/* State of the input stream (ask before cppCloseInput), so that a reader can tell a damaged or
 * short body from data. Result: the error flag (0 or 1). When given, *pastEnd becomes 1 if a read
 * asked for bytes the file did not have (that read left its destination unchanged), and *unread the
 * number of body bytes not yet consumed (buffered plus still in the file; capped at 2^31-1). */
OIO_API int32_t OIO_CALL cppInputState(int32_t* pastEnd, int32_t* unread);

/* ---- File archive ------------------------------------------------------- */

/* Results of the archive calls. */
#define OIO_OK 1
#define OIO_ERR_OPEN (-1)     /* archive or source file cannot be opened */
#define OIO_ERR_TOO_LONG (-2) /* a name above 499 bytes or a path above 499 */
#define OIO_ERR_WRITE (-3)    /* writing the archive or a target file failed */
#define OIO_ERR_DAMAGED (-4)  /* archive short or malformed; unpacking stopped */
#define OIO_ERR_UNSAFE (-5)   /* an entry would leave the target folder or overwrite the archive */
#define OIO_ERR_NOT_OPEN (-6) /* no archive is being packed */
#define OIO_ERR_BUSY (-7)     /* an archive is already being packed */

/* Longest subfolder or file name, and longest composed path, in bytes. */
#define OIO_MAX_NAME 499

/* Creates base + archiveName (plain concatenation: base ends with a
 * separator) and remembers base. Result: the file handle, or OIO_ERR_OPEN,
 * OIO_ERR_TOO_LONG, OIO_ERR_BUSY (an archive is already being packed). */
OIO_API int32_t OIO_CALL oioStartArh(const char* archiveName, const char* base);

/* Appends base + subfolder + name (base + name when the subfolder is shorter
 * than 2 characters; an empty subfolder is stored like a one-character one).
 * The entry is checked and the file read before anything is written, so a
 * failed add leaves the archive well formed. Result: OIO_OK, OIO_ERR_NOT_OPEN,
 * OIO_ERR_TOO_LONG, OIO_ERR_UNSAFE (oioExtract would skip the entry: the name
 * has a folder part, or the subfolder would leave the target folder),
 * OIO_ERR_OPEN (the file cannot be read) or OIO_ERR_WRITE. */
OIO_API int32_t OIO_CALL oioAddFile(const char* name, const char* subfolder);

/* Writes the terminating 0 and closes. Result: OIO_OK or an error. */
OIO_API int32_t OIO_CALL oioCloseArh(void);

/* Unpacks target + archiveName below target, creating one subfolder level
 * per entry and overwriting existing files. An entry whose subfolder or name
 * would leave the target folder, or whose file is the archive itself (also
 * through a link), is skipped with OIO_ERR_UNSAFE. Result: OIO_OK, OIO_ERR_DAMAGED
 * when the archive is short or malformed (entries before it are written), or
 * the first other error met (the remaining entries are still unpacked). */
OIO_API int32_t OIO_CALL oioExtract(const char* archiveName, const char* target);

#ifdef __cplusplus
}
#endif

#endif
