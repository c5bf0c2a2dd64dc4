# An installed copy, checked as a user would meet it: cmake --install into a
# temporary prefix made read-only, the desktop files validated, the installed
# programs run. Arguments: -DBUILD_DIR=<build folder> -DWORK=<scratch folder>
# -DHELP_PICTURES=<ON when the build draws the help's pictures>.
function(fail what)
  execute_process(COMMAND chmod -R u+w ${WORK})
  message(FATAL_ERROR "${what}")
endfunction()

file(REMOVE_RECURSE ${WORK})
set(prefix ${WORK}/usr)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(rc)
  fail("cmake --install failed: ${err}")
endif()

set(id org.corvane_database.Orbo)
foreach(file bin/orbo bin/orbo-cli lib/corvane-database/liborboinout.so
             share/corvane-database/Texts/english.txt share/corvane-database/data/root.dat
             share/corvane-database/data/examples/ex1.2db share/corvane-database/icons/noico.bmp
             share/corvane-database/help/en/index.html share/corvane-database/help/ru/index.html
             share/corvane-database/help/style.css share/applications/${id}.desktop
             share/metainfo/${id}.metainfo.xml share/mime/packages/${id}.xml
             share/icons/hicolor/32x32/apps/${id}.png share/icons/hicolor/scalable/apps/${id}.svg
             share/man/man1/orbo.1 share/man/man1/orbo-cli.1)
  if(NOT EXISTS ${prefix}/${file})
    fail("not installed: ${file}")
  endif()
endforeach()
if(HELP_PICTURES AND NOT EXISTS ${prefix}/share/corvane-database/help/ru/images/window.png)
  fail("not installed: the help's pictures")
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)
if(NOT DESKTOP_FILE_VALIDATE OR NOT APPSTREAMCLI)
  fail("desktop-file-validate and appstreamcli are needed: run scripts/install-deps.sh")
endif()
execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${prefix}/share/applications/${id}.desktop
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc OR out)
  fail("desktop file: ${out}")
endif()
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${prefix}/share/metainfo/${id}.metainfo.xml
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc)
  fail("metainfo: ${out}")
endif()

# Read-only, as below /usr: the programs find their library and files.
execute_process(COMMAND chmod -R a-w ${prefix})
execute_process(COMMAND ${prefix}/bin/orbo-cli info ${prefix}/share/corvane-database/data/examples/ex1.2db
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc OR NOT out MATCHES "Records: [0-9]+")
  fail("installed orbo-cli: ${rc} ${out} ${err}")
endif()
execute_process(COMMAND ${prefix}/bin/orbo --version RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(rc OR NOT out MATCHES "^orbo [0-9]")
  fail("installed orbo --version: ${rc} ${out}")
endif()

# The window program starts and keeps its own files in the user's folder;
# it runs until the time is up.
set(home ${WORK}/home)
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=windir QT_QPA_PLATFORM=offscreen ORBO_MESSAGES=auto
                        HOME=${home} XDG_DATA_HOME=${home}/data XDG_CONFIG_HOME=${home}/config
                        ${prefix}/bin/orbo
                TIMEOUT 10 RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
set(user ${home}/data/corvane-database)
foreach(file data/root.dat data/multiprog.dat data/examples/ex1.2db Texts/current.dat Texts/english.txt)
  if(NOT EXISTS ${user}/${file})
    fail("the installed program did not prepare ${file} in the user's folder (${rc}): ${err}")
  endif()
endforeach()
execute_process(COMMAND chmod -R u+w ${WORK})
file(REMOVE_RECURSE ${WORK})
