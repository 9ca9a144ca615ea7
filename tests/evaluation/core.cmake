odomira_add_test(test_period SOURCES test_period.cpp)
odomira_add_test(test_statements SOURCES test_statements.cpp)
