kv_add_fuzzer(fuzz_startup_args ${CMAKE_CURRENT_LIST_DIR}/StartupArgsFuzz.cpp shell)
