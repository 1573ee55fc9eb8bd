# Writes a C++ source that holds a file's bytes as an array, for data built into a program.
#   cmake -D IN=<file> -D OUT=<source.cpp> -D NAME=<array name> -D HEADER=<header to include> -P EmbedBytes.cmake
# The source defines `const uint8_t NAME[]` and `const size_t NAMESize`, both extern as the
# header declares them.
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
  message(FATAL_ERROR "EmbedBytes: ${IN} is empty")
endif()
# Forty bytes to a line keeps the source readable by tools that dislike long lines.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 40 line)
string(REGEX REPLACE "(${line})" "\\1\n" bytes "${bytes}")
math(EXPR count "${digits} / 2")
file(WRITE ${OUT}.tmp
  "// Made by the build from ${IN}; not edited by hand.\n"
  "#include \"${HEADER}\"\n\n"
  "extern const uint8_t ${NAME}[${count}] = {\n${bytes}\n};\n"
  "extern const size_t ${NAME}Size = ${count};\n")
file(RENAME ${OUT}.tmp ${OUT})
