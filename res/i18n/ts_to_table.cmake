# Turns a Qt Linguist catalogue into a C++ table, so that the toolkit-free
# layers and the Win32 binding look texts up without Qt:
#   cmake -DTS_FILE=lumiq_en.ts -DOUTPUT=catalogue_en.cpp -DSYMBOL=kEnglishCatalogue -P ts_to_table.cmake
# It reads what lrelease reads: every <message> of every context with a
# non-empty <translation> that is not obsolete or vanished. A message that
# lrelease would keep and this script would not (or the other way round)
# shows in the test that compares the two lookups.

cmake_minimum_required(VERSION 3.20)

foreach(var TS_FILE OUTPUT SYMBOL)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "ts_to_table.cmake needs -D${var}=...")
  endif()
endforeach()

file(READ "${TS_FILE}" rest)

# The text between <TAG...> and </TAG> at the start of `text`, entities
# resolved; "" when the element is missing or empty.
function(element_text text tag out attributes_out)
  set(${out} "" PARENT_SCOPE)
  set(${attributes_out} "" PARENT_SCOPE)
  string(FIND "${text}" "<${tag}" open)
  if(open LESS 0)
    return()
  endif()
  string(SUBSTRING "${text}" ${open} -1 text)
  string(FIND "${text}" ">" close)
  string(LENGTH "${tag}" tag_length)
  math(EXPR attributes_start "${tag_length} + 1")
  math(EXPR attributes_length "${close} - ${attributes_start}")
  string(SUBSTRING "${text}" ${attributes_start} ${attributes_length} attributes)
  set(${attributes_out} "${attributes}" PARENT_SCOPE)
  if(attributes MATCHES "/$")
    return()  # <translation/>: empty
  endif()
  math(EXPR body_start "${close} + 1")
  string(SUBSTRING "${text}" ${body_start} -1 text)
  string(FIND "${text}" "</${tag}>" end)
  if(end LESS 0)
    message(FATAL_ERROR "${TS_FILE}: <${tag}> without </${tag}>")
  endif()
  string(SUBSTRING "${text}" 0 ${end} body)
  string(REPLACE "&lt;" "<" body "${body}")
  string(REPLACE "&gt;" ">" body "${body}")
  string(REPLACE "&quot;" "\"" body "${body}")
  string(REPLACE "&apos;" "'" body "${body}")
  string(REPLACE "&#xa;" "\n" body "${body}")
  string(REPLACE "&amp;" "&" body "${body}")
  set(${out} "${body}" PARENT_SCOPE)
endfunction()

# `text` as the inside of a C++ string literal.
function(c_literal text out)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(REPLACE "\n" "\\n" text "${text}")
  string(REPLACE "\t" "\\t" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(rows "")
set(count 0)
while(TRUE)
  string(FIND "${rest}" "<message" start)
  if(start LESS 0)
    break()
  endif()
  string(SUBSTRING "${rest}" ${start} -1 rest)
  string(FIND "${rest}" "</message>" end)
  if(end LESS 0)
    message(FATAL_ERROR "${TS_FILE}: <message> without </message>")
  endif()
  string(SUBSTRING "${rest}" 0 ${end} message_text)
  math(EXPR after "${end} + 10")
  string(SUBSTRING "${rest}" ${after} -1 rest)

  element_text("${message_text}" "source" source ignored)
  element_text("${message_text}" "translation" translation translation_attributes)
  if(source STREQUAL "" OR translation STREQUAL "")
    continue()
  endif()
  if(translation_attributes MATCHES "type=\"(obsolete|vanished)\"")
    continue()
  endif()
  c_literal("${source}" source)
  c_literal("${translation}" translation)
  string(APPEND rows "    {\"${source}\", \"${translation}\"},\n")
  math(EXPR count "${count} + 1")
endwhile()

if(count EQUAL 0)
  message(FATAL_ERROR "${TS_FILE}: no translated message")
endif()

set(generated "// Generated from ${TS_FILE} by ts_to_table.cmake; do not edit.
#include \"res/i18n/catalogue.h\"

namespace lumiq::i18n {

extern const CatalogueEntry ${SYMBOL}[] = {
${rows}};
extern const size_t ${SYMBOL}Size = ${count};

}  // namespace lumiq::i18n
")
# Rewritten only when it changes, so a touched catalogue with the same
# messages rebuilds nothing.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
  if(old STREQUAL generated)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${generated}")
