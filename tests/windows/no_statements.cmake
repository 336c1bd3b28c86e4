# Window folders hold no statement text: their reads and changes go through the ledger.
# Run: cmake -DSOURCE_DIR=<project> -P no_statements.cmake
set(failures "")
foreach(folder app stock sales finance admin stats platform)
  file(GLOB files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/src/${folder}/*.cpp ${SOURCE_DIR}/src/${folder}/*.h)
  foreach(file IN LISTS files)
    file(READ ${SOURCE_DIR}/${file} text)
    string(TOLOWER "${text}" text)
    # A statement inside a string literal: its first words.
    string(REGEX MATCH "\"[^\"\n]*(select |insert into |update [^ \"]+ set |delete from |create table |alter table |drop table |pragma )" found "${text}")
    if(found)
      string(APPEND failures "${file}: a statement in a window file (${found})\n")
    endif()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
