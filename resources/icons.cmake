# Icons from Debian's famfamfam-silk set: the built-in record and folder icons,
# a starter set of user icons in a few subfolders, and the interface pictures.
set(SILK /usr/share/icons/silk/16x16)
set(ICONS ${ORBO_BIN_DIR}/icons)
# The real ImageMagick, never a wrapper of the same name earlier on the path.
find_program(IMAGEMAGICK_CONVERT NAMES convert-im6.q16 convert-im6 convert PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT IMAGEMAGICK_CONVERT OR NOT EXISTS ${SILK}/folder.png)
  message(FATAL_ERROR "imagemagick and famfamfam-silk are needed; run scripts/install-deps.sh")
endif()

set(BUILTIN_ICONS
  record:page_white_text root:folder person:user book:book note:note star:star picture:picture
  music:music calendar:calendar house:house money:money heart:heart email:email phone:phone
  world:world car:car)
foreach(entry ${BUILTIN_ICONS})
  string(REPLACE ":" ";" parts ${entry})
  list(GET parts 0 key)
  list(GET parts 1 source)
  configure_file(${SILK}/${source}.png ${ICONS}/builtin/${key}.png COPYONLY)
endforeach()

# Converts one silk picture, once: BMP and JPEG get a white background.
function(orbo_convert_icon source target)
  if(EXISTS ${target})
    return()
  endif()
  get_filename_component(folder ${target} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  set(options)
  if(target MATCHES "\\.bmp$")
    set(options -background white -flatten)
    set(target BMP3:${target})
  elseif(target MATCHES "\\.jpg$")
    set(options -background white -flatten -resize 64x64)
  endif()
  execute_process(COMMAND ${IMAGEMAGICK_CONVERT} ${SILK}/${source}.png ${options} ${target}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not make ${target}")
  endif()
endfunction()

set(USER_ICONS
  People/user.gif People/group.gif People/vcard.gif People/heart.gif
  Home/house.gif Home/key.gif Home/lightbulb.gif Home/cake.gif Home/basket.gif
  Media/music.bmp Media/film.bmp Media/camera.bmp Media/cd.bmp Media/picture.bmp
  Work/building.bmp Work/email.bmp Work/phone.bmp Work/calendar.bmp Work/money.bmp
  Work/world.bmp Work/car.bmp Work/flag_red.bmp)
foreach(icon ${USER_ICONS})
  get_filename_component(source ${icon} NAME_WE)
  orbo_convert_icon(${source} ${ICONS}/usericons/${icon})
endforeach()

orbo_convert_icon(cross ${ICONS}/noico.bmp)
orbo_convert_icon(bullet_arrow_down ${ICONS}/combo.gif)
orbo_convert_icon(text_list_bullets ${ICONS}/quick.gif)
orbo_convert_icon(picture ${ICONS}/simple.jpg)
