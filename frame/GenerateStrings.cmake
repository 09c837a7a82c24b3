# Writes the generated part of the string table: ids 33000-33199 and the
# engine's error descriptions (id 9000 + code) from a tab-separated file of
# code and text. Run with -DINPUT=<tsv> -DOUTPUT=<rc>.
file(STRINGS ${INPUT} lines ENCODING UTF-8)
set(rc "STRINGTABLE\nBEGIN\n")
foreach(id RANGE 33000 33199)
  string(APPEND rc "    ${id} \"Track a new item\"\n")
endforeach()
foreach(line IN LISTS lines)
  if(line MATCHES "^([0-9]+)\t(.*)$")
    math(EXPR id "9000 + ${CMAKE_MATCH_1}")
    set(text "${CMAKE_MATCH_2}")
    # Resource-compiler string escapes: backslash and double quote.
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\"\"" text "${text}")
    string(APPEND rc "    ${id} \"${text}\"\n")
  endif()
endforeach()
string(APPEND rc "END\n")
file(WRITE ${OUTPUT}.tmp "${rc}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
