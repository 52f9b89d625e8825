#pragma once
// Shared by the fuzz harnesses (fuzz_*.cpp): each defines LLVMFuzzerTestOneInput for
// one reader of outside input and calls FuzzSupport::init() first. The same sources
// run under libFuzzer (scripts/fuzz.sh, built with clang) and, in the normal build,
// under ReplayMain.cpp, which feeds them every file of their seed corpus
// (tests/fuzz/corpus/<harness>/) as a ctest entry.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace FuzzSupport {

// Once per process: the application object the readers need (offscreen, test-mode
// user folders, so nothing of the user's is touched) and a scratch folder.
void init();
// The scratch folder of this run; removed when the process ends normally.
QString scratch();
// Writes data to a file of that name in the scratch folder and returns its path.
QString writeScratchFile(const QString &name, const QByteArray &data);
// The input as bytes (not copied).
QByteArray bytes(const uint8_t *data, size_t size);
// Harnesses of readers that have a writer read the input, write what they read and
// read that again: the value must come back the same. Ends the run (abort, which the
// fuzzer and the replay report as a failure) with what differed when it does not.
void requireSame(bool same, const char *what);

} // namespace FuzzSupport
