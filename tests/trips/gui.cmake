odomira_add_test(test_trip_entry SOURCES test_trip_entry.cpp LIBS odomira_gui)
odomira_add_test(test_trip_lists SOURCES test_trip_lists.cpp LIBS odomira_gui)
