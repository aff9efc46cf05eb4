kv_add_fuzzer(fuzz_edit_format ${CMAKE_CURRENT_LIST_DIR}/EditFormatFuzz.cpp library_common)
