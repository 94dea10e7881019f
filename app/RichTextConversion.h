#pragma once

#include "model/RichText.h"

class QTextDocument;

// The one place where a theme's rich-text description meets Qt's text
// document: paragraphs with their alignment, runs with font family, size in
// points, bold, italic, underline and colour. What one side holds and the
// other can't (images, tables, lists in a document) is left out. Any thread,
// on a document that thread owns.
class RichTextConversion {
public:
    // Replaces the whole content of document with text.
    static void fill(QTextDocument& document, const RichText& text);
    // The document's text and attributes.
    static RichText toRichText(const QTextDocument& document);
};
