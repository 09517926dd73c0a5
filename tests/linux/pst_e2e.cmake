# Reads the PST files the Windows end-to-end tests (tests/e2e) left in build/artifacts/e2e
# with readpst, pffexport and pffinfo, and compares every contact field by field with the
# fixture address book. Skipped when the Windows tests have not run.
add_test(NAME pst_e2e_readers
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/pst_e2e_check.py
          ${VORLIX_ROOT}/build/artifacts/e2e ${VORLIX_ROOT}/tests/fixtures/notes)
set_tests_properties(pst_e2e_readers PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
