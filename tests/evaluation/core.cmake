odomira_add_test(test_period SOURCES test_period.cpp)
