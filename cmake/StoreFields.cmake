# Writes OUT: the window state's fields, one LUMORA_STORE_FIELD(member, field) line each, read
# from the code rather than typed: every member of TForm1 whose type is a class named "...Store"
# (form/TForm1.h), and every public data member of that class (its header in SRC). The control
# map and the rule tests expand the lines.
#   cmake -DSRC=<src> -DOUT=<file> -P StoreFields.cmake
file(READ ${SRC}/form/TForm1.h form)
# Semicolons would split CMake's lists.
string(REPLACE ";" "@" form "${form}")
string(REGEX MATCHALL "\n    [A-Za-z]+Store [A-Za-z]+@" members "${form}")
set(lines "")
foreach(member IN LISTS members)
  string(REGEX REPLACE "^\n    ([A-Za-z]+) ([A-Za-z]+)@$" "\\1" type "${member}")
  string(REGEX REPLACE "^\n    ([A-Za-z]+) ([A-Za-z]+)@$" "\\2" name "${member}")
  file(GLOB_RECURSE header ${SRC}/*/${type}.h)
  if(NOT header)
    message(FATAL_ERROR "no header ${type}.h under ${SRC}")
  endif()
  file(READ ${header} text)
  string(REPLACE ";" "@" text "${text}")
  string(FIND "${text}" "\nclass ${type} {\npublic:\n" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "${header}: no \"class ${type} {\" opening on \"public:\"")
  endif()
  string(SUBSTRING "${text}" ${start} -1 body)
  string(FIND "${body}" "\n}@" end)
  string(SUBSTRING "${body}" 0 ${end} body)
  # The public part: up to the first other access specifier.
  string(REGEX REPLACE "\n(private|protected):.*$" "" body "${body}")
  # A data member: a type, a capitalised name (no trailing underscore), maybe an initialiser.
  string(REGEX MATCHALL "\n    [A-Za-z_:0-9<>]+ [A-Z][A-Za-z0-9]*( = [^@\n]*)?@" fields "${body}")
  if(NOT fields)
    message(FATAL_ERROR "${header}: no public data member in ${type}")
  endif()
  foreach(field IN LISTS fields)
    string(REGEX REPLACE "^\n    [^ ]+ ([A-Za-z0-9]+).*$" "\\1" field "${field}")
    string(APPEND lines "LUMORA_STORE_FIELD(${name}, ${field})\n")
  endforeach()
endforeach()
if(lines STREQUAL "")
  message(FATAL_ERROR "${SRC}/form/TForm1.h: no store member")
endif()
file(WRITE ${OUT} "${lines}")
