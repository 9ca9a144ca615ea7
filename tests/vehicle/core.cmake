odomira_add_test(test_day_cost SOURCES test_day_cost.cpp)
