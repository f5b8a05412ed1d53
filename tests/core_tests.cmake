# The core's tests, built for Linux (tests/) and for Windows (tests/windows/, run under Wine): the
# protocol, the answer readers, what the windows show, and the main window's logic driven through
# the fake toolkit, the scripted service and the in-memory view.
set(VENMARRA_CORE_TESTS
  service/text_encoding_test.cpp
  service/protocol_test.cpp
  service/answer_reader_test.cpp
  service/session_cookie_test.cpp
  service/exchange_rules_test.cpp
  ui/presentation_test.cpp
  mailbox/module1_test.cpp
  mailbox/creation_test.cpp
  mailbox/receive_loop_test.cpp
  mailbox/opening_mail_test.cpp
  mailbox/failures_test.cpp
)
list(TRANSFORM VENMARRA_CORE_TESTS PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
