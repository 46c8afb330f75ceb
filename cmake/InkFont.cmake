# The time displays use a seven-segment face. Debian's fonts-dseg ships one under the OFL; it is
# copied into the build tree as INK.ttf and compiled into the resource ":/fonts/INK.ttf". Where no
# such face is installed the program is built without it and uses the system font.
set(DK61_INK_CANDIDATES
    /usr/share/fonts/truetype/dseg/DSEG7Classic-Regular.ttf
    /usr/share/fonts/truetype/dseg/DSEG7Modern-Regular.ttf)
set(DK61_INK_SOURCE "")
foreach(candidate ${DK61_INK_CANDIDATES})
    if(EXISTS ${candidate} AND NOT DK61_INK_SOURCE)
        set(DK61_INK_SOURCE ${candidate})
    endif()
endforeach()
set(DK61_INK_QRC "")
if(NOT DK61_INK_SOURCE)
    message(STATUS "No seven-segment font found (Debian package fonts-dseg): the time displays "
                   "will use the system font")
    return()
endif()
set(DK61_INK_DIR ${CMAKE_BINARY_DIR}/resources)
file(MAKE_DIRECTORY ${DK61_INK_DIR}/fonts)
configure_file(${DK61_INK_SOURCE} ${DK61_INK_DIR}/fonts/INK.ttf COPYONLY)
file(WRITE ${DK61_INK_DIR}/ink.qrc.in
    "<RCC>\n  <qresource prefix=\"/\">\n    <file>fonts/INK.ttf</file>\n  </qresource>\n</RCC>\n")
configure_file(${DK61_INK_DIR}/ink.qrc.in ${DK61_INK_DIR}/ink.qrc COPYONLY)
set(DK61_INK_QRC ${DK61_INK_DIR}/ink.qrc)
