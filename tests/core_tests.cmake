# The core's tests, built for Linux (tests/) and for Windows (tests/windows/, run under Wine): the
# rules of text, the protocol, the answer readers, what the windows show, and the main window's
# logic driven through the fake toolkit, the scripted service and the in-memory view.
file(GLOB VENMARRA_CORE_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/text/*_test.cpp
     ${CMAKE_CURRENT_LIST_DIR}/service/*_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ui/*_test.cpp
     ${CMAKE_CURRENT_LIST_DIR}/mailbox/*_test.cpp)
