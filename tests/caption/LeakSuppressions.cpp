// Fontconfig keeps its configuration and caches for the life of the process
// on purpose; the caption text and the work-area message load it. Leak
// checks look past that.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
