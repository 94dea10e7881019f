#include "app/RichTextConversion.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

Qt::Alignment toQt(RichText::Alignment alignment) {
    switch (alignment) {
        case RichText::Alignment::Centre:
            return Qt::AlignHCenter;
        case RichText::Alignment::Right:
            return Qt::AlignRight;
        case RichText::Alignment::Justified:
            return Qt::AlignJustify;
        case RichText::Alignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

RichText::Alignment fromQt(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter) {
        return RichText::Alignment::Centre;
    }
    if (alignment & Qt::AlignRight) {
        return RichText::Alignment::Right;
    }
    if (alignment & Qt::AlignJustify) {
        return RichText::Alignment::Justified;
    }
    return RichText::Alignment::Left;
}

QTextCharFormat toQt(const RichText::Attributes& attributes) {
    QTextCharFormat format;
    format.setFontFamilies({QString::fromStdString(attributes.fontFamily)});
    format.setFontPointSize(attributes.size);
    format.setFontWeight(attributes.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(attributes.italic);
    format.setFontUnderline(attributes.underline);
    const RichText::Colour& c = attributes.colour;
    format.setForeground(QColor(c.r, c.g, c.b));
    return format;
}

RichText::Attributes fromQt(const QTextCharFormat& format, const QFont& documentFont) {
    RichText::Attributes attributes;
    QStringList families = format.fontFamilies().toStringList();
    attributes.fontFamily =
        (families.isEmpty() ? documentFont.family() : families.first()).toStdString();
    double size = format.fontPointSize();
    attributes.size = static_cast<float>(size > 0 ? size : documentFont.pointSizeF());
    attributes.bold = format.fontWeight() >= QFont::DemiBold;
    attributes.italic = format.fontItalic();
    attributes.underline = format.fontUnderline();
    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
        QColor colour = format.foreground().color();
        attributes.colour = {static_cast<std::uint8_t>(colour.red()),
                             static_cast<std::uint8_t>(colour.green()),
                             static_cast<std::uint8_t>(colour.blue())};
    }
    return attributes;
}

}  // namespace

void RichTextConversion::fill(QTextDocument& document, const RichText& text) {
    document.clear();
    QTextCursor cursor(&document);
    const auto& paragraphs = text.paragraphs();
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        const RichText::Paragraph& paragraph = paragraphs[i];
        if (i > 0) {
            cursor.insertBlock();
        }
        QTextBlockFormat block = cursor.blockFormat();
        block.setAlignment(toQt(paragraph.alignment));
        cursor.setBlockFormat(block);
        for (const RichText::Run& run : paragraph.runs) {
            cursor.insertText(QString::fromStdString(run.text), toQt(run.attributes));
        }
    }
    // A text that ends with a paragraph end has an empty last block in Qt.
    if (text.endsWithParagraphEnd()) {
        cursor.insertBlock();
    }
    document.setModified(false);
}

RichText RichTextConversion::toRichText(const QTextDocument& document) {
    RichText text;
    const QFont font = document.defaultFont();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        bool last = !block.next().isValid();
        if (last && block.length() <= 1 && block != document.begin()) {
            break;  // the empty block after a final paragraph end
        }
        text.setAlignment(fromQt(block.blockFormat().alignment()));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextFragment fragment = it.fragment();
            if (fragment.isValid()) {
                text.append(fragment.text().toStdString(), fromQt(fragment.charFormat(), font));
            }
        }
        if (!last) {
            text.endParagraph();
        } else if (block.length() <= 1 && block == document.begin()) {
            break;
        }
    }
    return text;
}
