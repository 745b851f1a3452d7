// A shared library that loads but is no widget server.
extern "C" int fennic_plain_library_marker() {
    return 42;
}
