# The hardening a distribution builds its programs with, on every target of the project: the
# stack protector, fortified library calls and format checks everywhere; on Linux also stack-clash
# and control-flow protection and read-only relocations bound at start. The Windows program keeps
# the linker's ASLR, high-entropy addresses and DEP, and its header carries no build time, so that
# the same source gives the same bytes. Off for the sanitizer builds, whose runtime does the
# checking instead (and _FORTIFY_SOURCE needs optimisation, which they build without).
option(VENMARRA_HARDENING "Build with the distribution's hardening" ON)
if(NOT VENMARRA_HARDENING)
  return()
endif()
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
add_compile_definitions(_FORTIFY_SOURCE=2)
if(WIN32)
  add_link_options(-fstack-protector-strong -Wl,--no-insert-timestamp -Wl,--dynamicbase
                   -Wl,--high-entropy-va -Wl,--nxcompat)
else()
  add_compile_options(-fstack-clash-protection -fcf-protection)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
