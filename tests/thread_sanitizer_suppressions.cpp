// Compiled into every test program of a ThreadSanitizer build. Qt's libraries are not built with
// it, so the locks of Qt's own threads (its font and image pools, the test watchdog) are invisible
// to it and their memory looks shared without them; races inside Qt are not reported.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Core.so\nrace:libQt6Gui.so\nrace:libQt6Widgets.so\nrace:libQt6Test.so\n";
}
