# Reads the files Vorlix.exe wrote in the conversion end-to-end tests (tests/e2e,
# wizard_run_e2e_tests), left in build/artifacts/wizard_run: the PST files with pffinfo,
# pffexport and readpst, the workbooks with xlrd, the text files as UTF-16 CSV and the
# grid's clipboard copies, each compared with its address book field by field. Skipped
# when the Windows tests have not run.
add_test(NAME wizard_run_readers
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/wizard_run_check.py ${VORLIX_ROOT}/build/artifacts/wizard_run
          ${VORLIX_ROOT}/tests/fixtures/notes)
set_tests_properties(wizard_run_readers PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
