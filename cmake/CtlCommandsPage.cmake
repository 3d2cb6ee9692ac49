# Writes the part of zandorctl's manual page that help2man cannot see: the
# options of every command, from "zandorctl help COMMAND", in a help2man
# include file. Run as: cmake -DZANDORCTL=... -DOUTPUT=... -P CtlCommandsPage.cmake
execute_process(COMMAND ${ZANDORCTL} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zandorctl --help failed (${status})")
endif()
# The commands are the indented first words of the "Commands:" block.
string(REGEX MATCH "\nCommands:\n(([ ]+[^\n]*\n)+)" block "${help}")
string(REGEX MATCHALL "\n  [a-z][a-z-]*" names "\n${CMAKE_MATCH_1}")
if(NOT names)
  message(FATAL_ERROR "no commands in the help of zandorctl")
endif()
set(page "[COMMANDS]\n")
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  execute_process(COMMAND ${ZANDORCTL} help ${name} OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "zandorctl help ${name} failed (${status})")
  endif()
  # Plain text in roff: backslashes escaped, hyphens as minus signs (options),
  # no line may start a request.
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  string(APPEND page ".SS ${name}\n.nf\n${text}.fi\n")
endforeach()
file(WRITE ${OUTPUT} "${page}")
