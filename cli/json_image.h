// The JSON image of a database: every stored field under the model's own
// name, keys in file order, so a database file can be read, diffed and
// rebuilt as text.
#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "storage/code_page.h"
#include "storage/database_model.h"

namespace orbo {

using Image = nlohmann::ordered_json;

// The image of what a file of db stores.
Image DatabaseToImage(const Database& db);

using ImageSink = std::function<void(const std::string& text)>;
// The text DatabaseToImage(db).dump(2) gives, and a closing line break,
// handed to write in pieces: a table entry at a time, so that a large
// database's image is never held whole.
void WriteDatabaseImage(const Database& db, const ImageSink& write);

// An image that does not follow the layout; the message names the field.
class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The database an image describes. Every string must fit the code page and
// a file's longest text; every integer the width its field has in the file.
Database DatabaseFromImage(const Image& image, CodePage& codePage);

}  // namespace orbo
