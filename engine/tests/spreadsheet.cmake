# The spreadsheet writer: its Excel driver is the workbook library's statement engine, run
# in-process (engine/ExcelDriver.cpp), and an installation lists that driver among the
# installed ODBC drivers so that the writer finds it by its description.
target_link_libraries(engine PUBLIC vorlix_xls)

# Installation step, run by scripts/wine-prefix.sh: the driver's entry under HKLM
# "Software\ODBC\ODBCINST.INI". Connections never load the Driver file named there: the
# program answers them itself. The description must match kExcelDriverDescription.
file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/install/excel-driver.sh" CONTENT [=[
#!/bin/sh
# Lists the program's Excel driver among the installed ODBC drivers of the Wine prefix.
set -e
name='Vorlix Excel Driver (*.xls)'
key='HKLM\Software\ODBC\ODBCINST.INI'
wine reg add "${key}\\ODBC Drivers" /v "$name" /t REG_SZ /d Installed /f >/dev/null 2>&1
wine reg add "${key}\\${name}" /v Driver /t REG_SZ /d 'Vorlix.exe' /f >/dev/null 2>&1
wine reg add "${key}\\${name}" /v FileExtns /t REG_SZ /d '*.xls' /f >/dev/null 2>&1
]=] @ONLY)

# Workbooks and text files the Wine tests write for the Linux-side readers
# (tests/linux/xls_e2e.cmake), with the values they were given.
get_filename_component(XLS_ARTIFACT_DIR "${CMAKE_CURRENT_LIST_DIR}/../../build/artifacts/xls" ABSOLUTE)

vorlix_add_gtest(spreadsheet_writer_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/spreadsheet_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/spreadsheet_writer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/spreadsheet_workbook_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/spreadsheet_export_test.cpp
  # The frame's save loop, which the export test drives, is in the wizard's library.
  LIBS wizard engine comctl32 advapi32
  WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
target_include_directories(spreadsheet_writer_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/../../app)
target_compile_definitions(spreadsheet_writer_tests PRIVATE
  XLS_ARTIFACT_DIR="${XLS_ARTIFACT_DIR}")
