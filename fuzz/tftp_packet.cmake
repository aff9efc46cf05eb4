kv_add_fuzzer(fuzz_tftp_packet ${CMAKE_CURRENT_LIST_DIR}/TftpPacketFuzz.cpp library_tftp)
