// Compiled into every test program (not the support library, whose unused
// objects the linker would drop). Fontconfig keeps its pattern cache for the
// life of the process and frees it only on an explicit FcFini, which Pango
// never calls; LeakSanitizer would report that cache after every run that
// drew text.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
