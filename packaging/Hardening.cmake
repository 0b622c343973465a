# The program is built hardened as Debian builds its packages (dpkg-buildflags with
# hardening=+all): checked buffer functions, stack protection, relocations made read-only
# and bound at start. Not under the sanitizers or the fuzzers, which check more and do
# not mix with _FORTIFY_SOURCE; and _FORTIFY_SOURCE only where the code is optimised.
if(PAGELIFT_SANITIZE OR PAGELIFT_FUZZ)
  return()
endif()
add_compile_options($<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>
  -fstack-protector-strong -fstack-clash-protection -fcf-protection)
add_link_options(-Wl,-z,relro -Wl,-z,now)
