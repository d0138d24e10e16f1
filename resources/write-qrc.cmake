# Writes the Qt resource file QRC that lists every file below BUNDLE_DIR under the root "/".
file(GLOB_RECURSE files RELATIVE ${BUNDLE_DIR} ${BUNDLE_DIR}/*)
list(SORT files)
set(text "<RCC>\n<qresource prefix=\"/\">\n")
foreach(f IN LISTS files)
    string(APPEND text "<file alias=\"${f}\">${BUNDLE_DIR}/${f}</file>\n")
endforeach()
string(APPEND text "</qresource>\n</RCC>\n")
file(WRITE ${QRC} "${text}")
