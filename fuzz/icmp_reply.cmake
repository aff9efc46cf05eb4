kv_add_fuzzer(fuzz_icmp_reply ${CMAKE_CURRENT_LIST_DIR}/IcmpReplyFuzz.cpp platform_net)
