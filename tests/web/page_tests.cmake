# The browser page's own logic under node: the .zip writer (read back by
# unzip and python3's zipfile) and what the page runs for a set of options.
# Skipped where node is not installed. Included by tests/CMakeLists.txt.
foreach(web_test zip page_model)
  add_test(NAME web_${web_test}
    COMMAND bash -c "command -v node >/dev/null || { echo 'node not installed: skipped'; exit 77; }; exec node \"$@\"" --
            "${CMAKE_CURRENT_LIST_DIR}/${web_test}_test.js" "${PROJECT_SOURCE_DIR}/web" "${PROJECT_SOURCE_DIR}")
  set_tests_properties(web_${web_test} PROPERTIES SKIP_RETURN_CODE 77)
endforeach()
