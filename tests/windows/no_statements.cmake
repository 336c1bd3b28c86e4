# Window folders hold no statement text: their reads and changes go through the ledger.
# `pending` lists the window files whose statements are still to move there; a file that
# gains a statement fails, and so does a listed file that no longer has one (strike it).
# Run: cmake -DSOURCE_DIR=<project> -P no_statements.cmake
set(pending
  src/finance/bank_entry_window.cpp src/finance/bank_page.cpp src/finance/other_page.cpp
  src/platform/list_refresh.cpp src/platform/list_refresh.h
  src/sales/scan_sale_window.cpp src/sales/sell_window.cpp
  src/stats/sales_chart_data.cpp
  src/stock/goods_row.cpp src/stock/import_window.cpp)

set(failures "")
foreach(folder app stock sales finance admin stats platform)
  file(GLOB files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/src/${folder}/*.cpp ${SOURCE_DIR}/src/${folder}/*.h)
  foreach(file IN LISTS files)
    file(READ ${SOURCE_DIR}/${file} text)
    string(TOLOWER "${text}" text)
    # A statement inside a string literal: its first words.
    string(REGEX MATCH "\"[^\"\n]*(select |insert into |update [^ \"]+ set |delete from |create table |alter table |drop table |pragma )" found "${text}")
    list(FIND pending ${file} listed)
    if(found AND listed EQUAL -1)
      string(APPEND failures "${file}: a statement in a window file (${found})\n")
    elseif(NOT found AND NOT listed EQUAL -1)
      string(APPEND failures "${file}: no statement any more; strike it from the pending list\n")
    endif()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
