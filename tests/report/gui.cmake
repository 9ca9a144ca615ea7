odomira_add_test(test_export SOURCES test_export.cpp LIBS odomira_gui)
