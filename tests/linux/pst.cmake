# Reads the stores the Windows build's PST test wrote under Wine (build/artifacts/pst)
# with the independent readers and our checker. Skipped when the Windows tests have not run.
if(TARGET pstcheck)
  set(PST_ARTIFACTS "${VORLIX_ROOT}/build/artifacts/pst")
  foreach(layout unicode ansi)
    set(file "${PST_ARTIFACTS}/wine-${layout}.pst")
    add_test(NAME pst_wine_${layout}_readers
      COMMAND sh -c "set -e
        [ -f '${file}' ] || { echo 'no ${file}: run the Windows tests first'; exit 77; }
        '$<TARGET_FILE:pstcheck>' '${file}'
        out=$(mktemp -d)
        readpst -r -D -o \"$out\" '${file}'
        n=$(grep -c '^BEGIN:VCARD' \"$out\"/*/'Wine Contacts'/contacts)
        grep -q '^EMAIL:wine19@example.com' \"$out\"/*/'Wine Contacts'/contacts
        pffexport -q -m all -t \"$out/pff\" '${file}'
        a=$(find \"$out/pff.export\" -path '*Wine Contacts*' -name '*_wine.txt' | wc -l)
        rm -rf \"$out\"
        echo \"readpst: $n contacts, pffexport: $a attachment\"
        [ \"$n\" = 20 ] && [ \"$a\" = 1 ]")
    set_tests_properties(pst_wine_${layout}_readers PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
  endforeach()
endif()
