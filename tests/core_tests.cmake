# The core's tests, built for Linux (tests/) and for Windows (tests/windows/, run under Wine): the
# rules of text, the protocol, the answer readers, what the windows show, and the main window's
# logic driven through the fake toolkit, the scripted service and the in-memory view.
file(GLOB VENMARRA_CORE_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/text/*_test.cpp
     ${CMAKE_CURRENT_LIST_DIR}/service/*_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ui/*_test.cpp
     ${CMAKE_CURRENT_LIST_DIR}/mailbox/*_test.cpp)
# The service's answers, one text that the logic's fakes and the stand-in service both read.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/support/service_answers.txt)
file(READ ${CMAKE_CURRENT_LIST_DIR}/support/service_answers.txt VENMARRA_SERVICE_ANSWERS)
configure_file(${CMAKE_CURRENT_LIST_DIR}/support/service_answers.h.in
               ${PROJECT_BINARY_DIR}/tests/generated/service_answers.h @ONLY)
