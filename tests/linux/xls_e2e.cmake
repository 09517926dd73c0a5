# Reads what the spreadsheet writer's Wine tests (engine/tests/spreadsheet_workbook_test.cpp)
# left in build/artifacts/xls: every workbook through python3-xlrd and through one
# LibreOffice conversion, the CSV file byte for byte, each against the values the writer
# was given. Skipped when the Windows tests have not run.
set(XLS_E2E_ARTIFACTS "${VORLIX_ROOT}/build/artifacts/xls")
set(XLS_E2E_SAMPLES "${VORLIX_SHARED_DIR}/samples/xls")
foreach(reader xlrd soffice)
  add_test(NAME xls_e2e_${reader}
    COMMAND /usr/bin/python3 "${CMAKE_CURRENT_LIST_DIR}/xls_e2e_check.py" ${reader}
            "${XLS_E2E_ARTIFACTS}" "${XLS_E2E_SAMPLES}")
  set_tests_properties(xls_e2e_${reader} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endforeach()
