#pragma once
// Private copies of the book's models for an output job: the job reads them on its
// worker thread while the user goes on editing the originals. Make them on the thread
// that owns the originals (the main thread).

#include <memory>

class FlashPageSource;
class FlashTemplate;

namespace OutputCopies {

// A template with the same description, extern folder and values; null when its
// description file cannot be read again.
std::shared_ptr<FlashTemplate> copyTemplate(const FlashTemplate &tmpl);
// The same pages, pictures and source (with a PDF's password) over the same workspace.
std::shared_ptr<FlashPageSource> copyPageSource(const FlashPageSource &source);

} // namespace OutputCopies
