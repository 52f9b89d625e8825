#pragma once
// The preview builder of the program: the output engine writes the open book as a web
// book named "index" (with its phone version) into the preview folder.
//
// The book is read through a provider, so the builder always takes the book that is
// open when a rebuild starts (none: nothing to build). A rebuild for a change of design
// settings alone (PreviewChange::Settings) takes the pages as the rebuild before wrote
// them (FlashBookOutput::setPreviousPlan): it writes only what the settings make.

#include "shell/PreviewBuilder.h"

#include <QString>
#include <functional>
#include <memory>

class BookDocument;

class EnginePreviewBuilder : public PreviewBuilder
{
public:
    struct Book
    {
        const BookDocument *document = nullptr;
        QString title;
    };
    using BookProvider = std::function<Book()>;

    explicit EnginePreviewBuilder(BookProvider provider);

    std::unique_ptr<PreviewJob> prepare(int changeFlags, QString *error) override;

    // The home page's name in the preview folder.
    static QString homePageName() { return QStringLiteral("index"); }

    // What the last rebuild left for the next one (the pages' plan): a change of design
    // settings alone writes only what those make.
    struct Memory;

private:
    BookProvider m_provider;
    std::shared_ptr<Memory> m_memory;
};
