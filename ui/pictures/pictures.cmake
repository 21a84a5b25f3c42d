# The pictures of the wizard and its windows, drawn at build time with
# ImageMagick from text and primitives (nothing is copied in): 24-bit BMP
# files, linked into every setup program as bitmap resources (see
# qv_kit_resources in cmake/QvHelpers.cmake).
#
# Olive (128,128,0; TColor 32896) is the colour the language grid and the
# glyph buttons leave out, so those pictures stand on it.

find_program(QV_CONVERT NAMES convert magick REQUIRED)
# A font of known metrics, so that the pictures come out alike on every
# build machine; ImageMagick's own default otherwise.
# (Looked for by hand: a cross build's find_file searches the target's root.)
set(QV_PICTURE_FONT "")
foreach(candidate /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
                  /usr/share/fonts/TTF/DejaVuSans-Bold.ttf)
  if(EXISTS ${candidate} AND NOT QV_PICTURE_FONT)
    set(QV_PICTURE_FONT ${candidate})
  endif()
endforeach()
set(font_args)
if(QV_PICTURE_FONT)
  set(font_args -font ${QV_PICTURE_FONT})
endif()

set(pictures_dir ${CMAKE_CURRENT_BINARY_DIR}/pictures)
file(MAKE_DIRECTORY ${pictures_dir})
set(QV_PICTURE_FILES)
set(QV_PICTURE_NAMES)

# picture(RESOURCE_NAME convert arguments...): the resource's BMP file.
function(picture name)
  set(out ${pictures_dir}/${name}.bmp)
  add_custom_command(OUTPUT ${out}
    COMMAND ${QV_CONVERT} ${ARGN} -type TrueColor BMP3:${out}
    DEPENDS ${CMAKE_CURRENT_LIST_FILE}
    COMMENT "Drawing picture ${name}"
    VERBATIM)
  set(QV_PICTURE_FILES ${QV_PICTURE_FILES} ${out} PARENT_SCOPE)
  set(QV_PICTURE_NAMES ${QV_PICTURE_NAMES} ${name} PARENT_SCOPE)
endfunction()

# The side picture of the pages (117 x 290, centred in their 136-pixel
# panel): a gradient with a cube and the product's name.
picture(INSTALLTHEME1 -size 290x117 "gradient:#3d8fd1-#0b2e6b" -rotate 90
  -fill "#ffffff22" -draw "circle 100,40 100,115" -draw "circle 10,250 10,300"
  -fill "#ffffff55" -draw "polygon 58,206 88,221 58,236 28,221"
  -fill "#ffffff33" -draw "polygon 28,221 58,236 58,270 28,255"
  -fill "#ffffff18" -draw "polygon 88,221 58,236 58,270 88,255"
  ${font_args} -pointsize 26 -fill white -gravity center -annotate 270x270+20-30 Quorvane)

# One picture per language (126 x 45): a badge with the language's name.
# RESOURCE (after BM_LANG_)  badge colour  border  caption
set(languages
  "SIMPCHINESE|#b03a2e|#5c1a14|Chinese\\nSimplified"
  "CZECH|#2b5aa8|#142c57|Czech"
  "DANISH|#c8102e|#5e0816|Danish"
  "ENGLISH|#1f4e9c|#0d2a5c|English"
  "FRENCH|#2f5fb3|#15305e|French"
  "GERMAN|#3a3a3a|#101010|German"
  "GREEK|#2d72c8|#143a68|Greek"
  "HEBREW|#2856a8|#122a56|Hebrew"
  "ITALIAN|#1e8a4a|#0c4424|Italian"
  "JAPANESE|#b8203a|#5a0e1c|Japanese"
  "KOREAN|#2a4f9a|#13264d|Korean"
  "POLISH|#c23048|#5e1622|Polish"
  "PORTUGESE|#1c7a3c|#0b3c1c|Portuguese"
  "RUSSIAN|#2c4fa0|#13264e|Russian"
  "SPANISH|#c8961e|#63490c|Spanish"
  "VIETNAMESE|#c4282a|#601212|Vietnamese")
foreach(row ${languages})
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 id)
  list(GET row 1 fill)
  list(GET row 2 border)
  list(GET row 3 caption)
  set(size 14)
  # "\n" is ImageMagick's line break.
  string(FIND "${caption}" "\\n" two_lines)
  if(two_lines GREATER -1)
    set(size 12)
  endif()
  picture(BM_LANG_${id} -size 126x45 "xc:#808000"
    +antialias -fill ${fill} -stroke ${border} -strokewidth 2 -draw "roundrectangle 3,4 122,40 9,9"
    -antialias -stroke none -fill white ${font_args} -pointsize ${size} -interline-spacing -3
    -gravity center -annotate +0+0 ${caption})
endforeach()
# Every slot of the grid holds this until its language is loaded: nothing
# shows.
picture(BM_LANG_NONE -size 126x45 "xc:#808000")

# The Cancel buttons' glyph: a red cross on olive (the lower-left pixel's
# colour is the glyph's transparent one).
picture(BM_CANCELGLYPH -size 18x18 "xc:#808000" +antialias -stroke "#c00000" -strokewidth 3
  -draw "line 4,4 13,13" -draw "line 13,4 4,13")

# The copy window: an archive box while files are extracted (36 x 37), a
# globe sending to a computer while an archive is fetched (37 x 36).
picture(BM_ARCHIVE -size 36x37 "xc:#c0c0c0" +antialias -fill "#8a5a2b" -stroke "#3d2410"
  -draw "rectangle 3,12 32,34" -fill "#b07a40" -draw "polygon 3,12 8,4 27,4 32,12"
  -fill "#d9b070" -draw "rectangle 13,17 22,22")
picture(BM_TRANSFER -size 37x36 "xc:#c0c0c0" +antialias -fill "#3070c0" -stroke "#103060"
  -draw "circle 10,10 10,2" -fill "#e0e0e0" -stroke "#404040" -draw "rectangle 20,20 34,32"
  -stroke "#008000" -strokewidth 2 -draw "line 14,14 24,22" -fill "#008000" -draw "polygon 24,22 18,22 24,16")

# The change-disk window (57 x 113): a disk going into a drive.
picture(BM_CHANGEDISK -size 57x113 "xc:#c0c0c0" +antialias -fill "#2a2a5a" -stroke black
  -draw "polygon 4,4 48,4 53,9 53,53 4,53" -fill "#d8d8d8" -draw "rectangle 15,4 41,20"
  -fill "#2a2a5a" -draw "rectangle 33,7 38,17" -fill white -draw "rectangle 10,30 47,53"
  -stroke "#8080c0" -draw "line 14,36 43,36" -draw "line 14,42 43,42"
  -stroke "#006000" -strokewidth 3 -draw "line 28,60 28,80" -strokewidth 1 -fill "#006000"
  -draw "polygon 20,76 36,76 28,86" -stroke black -fill "#a0a0a0" -draw "rectangle 2,90 54,110"
  -fill black -draw "rectangle 10,98 46,101")
