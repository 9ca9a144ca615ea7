odomira_add_test(test_frm_odomira SOURCES test_frm_odomira.cpp LIBS odomira_gui)
odomira_add_test(test_grid_cell_delegate SOURCES test_grid_cell_delegate.cpp LIBS odomira_gui)

# The cost per day as a screen reader finds it, through the AT-SPI tree of the real program
# under Xvfb in a D-Bus session of its own (at-spi2-core, python3-pyatspi, dbus, xvfb).
find_program(ODOMIRA_DBUS_RUN_SESSION dbus-run-session)
find_program(ODOMIRA_XVFB_RUN xvfb-run)
find_program(ODOMIRA_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(ODOMIRA_DBUS_RUN_SESSION AND ODOMIRA_XVFB_RUN AND ODOMIRA_SYSTEM_PYTHON)
    add_test(NAME atspi_cost_per_day
        COMMAND ${ODOMIRA_DBUS_RUN_SESSION} -- ${ODOMIRA_XVFB_RUN} -a
                ${ODOMIRA_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/atspi_cost_per_day.py
                $<TARGET_FILE:odomira> $<TARGET_FILE:odomira-db>)
    set_tests_properties(atspi_cost_per_day PROPERTIES
        ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0;UBSAN_OPTIONS=print_stacktrace=1"
        SKIP_RETURN_CODE 77 TIMEOUT 180)
endif()
