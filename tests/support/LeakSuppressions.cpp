// Compiled into every test program (not the support library, whose unused
// objects the linker would drop). Fontconfig keeps its pattern cache for the
// life of the process and frees it only on an explicit FcFini, which Pango
// never calls; LeakSanitizer would report that cache after every run that
// drew text. A web view's first page starts JavaScriptCore in the test's own
// process, and its per-thread heap is still held when the process exits.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libjavascriptcoregtk-4.1.so\n";
}
