odomira_add_test(test_export SOURCES test_export.cpp LIBS odomira_gui)
odomira_add_test(test_report_folder SOURCES test_report_folder.cpp LIBS odomira_gui)
