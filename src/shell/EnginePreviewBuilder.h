#pragma once
// The preview builder of the program: the output engine writes the open book as a web
// book named "index" (with its phone version) into the preview folder.
//
// The book is read through a provider, so the builder always takes the book that is
// open when a rebuild starts (none: nothing to build).

#include "shell/PreviewBuilder.h"

#include <QString>
#include <functional>

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

private:
    BookProvider m_provider;
};
