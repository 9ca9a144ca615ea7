odomira_add_test(test_frm_odomira SOURCES test_frm_odomira.cpp LIBS odomira_gui)

# Not a test: draws the window's tabs into PNG files for the documentation.
add_executable(odomira-window-shots window_shots.cpp)
target_link_libraries(odomira-window-shots PRIVATE odomira_gui)
odomira_target_defaults(odomira-window-shots)
odomira_add_test(test_concurrent_use SOURCES test_concurrent_use.cpp LIBS odomira_gui)
