// The editor's parts on their own: rich-text conversion, drop targets, fades, icons, bundle filter.
#include <QMimeData>
#include <QTextDocument>
#include <QWidget>

#include "EditorTest.h"
#include "app/BundleFilter.h"
#include "app/DragDropImageView.h"
#include "app/RichTextConversion.h"
#include "model/RtfReader.h"
#include "widgets/IcnsImage.h"
#include "widgets/RVAnimationAdditions.h"

TEST(RichTextConversionTest, TextsSurviveTheDocumentWithTheirAttributes) {
    RichText styled;
    RichText::Attributes bold;
    bold.bold = true;
    bold.size = 14;
    bold.colour = {200, 10, 20};
    RichText::Attributes italic;
    italic.italic = true;
    italic.underline = true;
    italic.fontFamily = "Times";
    styled.setAlignment(RichText::Alignment::Centre);
    styled.append("Title\n", bold);
    styled.setAlignment(RichText::Alignment::Right);
    styled.append("body ", italic);
    styled.append("end", RichText::Attributes{});
    for (const RichText& text :
         {RichText(), RichText::fromPlainText("a"), RichText::fromPlainText("a\n"),
          RichText::fromPlainText("a\n\nb\n"), styled}) {
        QTextDocument document;
        RichTextConversion::fill(document, text);
        EXPECT_EQ(RichTextConversion::toRichText(document), text) << text.plainText();
    }
}

class Responder : public DropResponder {
public:
    void setFileImagePathForSelection(const QString& path, DragDropImageView* view) override {
        calls.emplace_back(path, view);
    }
    std::vector<std::pair<QString, DragDropImageView*>> calls;
};

TEST(DragDropImageViewTest, OnlyTheFirstDroppedFileIsHandedOn) {
    QMimeData three;
    three.setUrls({QUrl::fromLocalFile("/a/1.png"), QUrl::fromLocalFile("/a/2.png"),
                   QUrl::fromLocalFile("/a/3.png")});
    EXPECT_EQ(DragDropImageView::firstFileName(&three), "/a/1.png");
    QMimeData image;
    image.setImageData(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_FALSE(DragDropImageView::firstFileName(&image));
    QMimeData web;
    web.setUrls({QUrl("https://example.com/x.png")});
    EXPECT_FALSE(DragDropImageView::firstFileName(&web));
}

TEST(RVAnimationAdditionsTest, FadesLeaveTheViewAsTheyShould) {
    QWidget parent;
    QWidget* view = new QWidget(&parent);
    parent.show();
    RVAnimationAdditions::setDefaultDuration(0.02);
    EXPECT_EQ(RVAnimationAdditions::defaultBlockingMode(),
              RVAnimationAdditions::BlockingMode::Blocking);
    RVAnimationAdditions::fadeOut(view);
    EXPECT_TRUE(view->isHidden());
    RVAnimationAdditions::fadeIn(view);
    EXPECT_FALSE(view->isHidden());
    QRect start = view->geometry();
    RVAnimationAdditions::animateToFrame(view, QRect(5, 6, 30, 40));
    EXPECT_EQ(view->geometry(), QRect(5, 6, 30, 40));
    EXPECT_FALSE(view->isHidden());
    RVAnimationAdditions::fadeToFrame(view, start);
    EXPECT_TRUE(view->isHidden());
    EXPECT_EQ(view->geometry(), start);
    QVariantMap parameters{{RVAnimationAdditions::EndFrameKey, QRect(1, 2, 3, 4)}};
    QVariantMap built = RVAnimationAdditions::animationArrayForParameters(view, parameters);
    EXPECT_EQ(parameters.size(), 1);
    EXPECT_EQ(built.value(RVAnimationAdditions::TargetKey).value<QObject*>(), view);
    RVAnimationAdditions::setDefaultDuration(0.2);
}

TEST(IcnsImageTest, TheEntryClosestToTheWantedSizeIsRead) {
    QImage small(128, 128, QImage::Format_ARGB32);
    small.fill(Qt::blue);
    QImage large(256, 256, QImage::Format_ARGB32);
    large.fill(Qt::green);
    QByteArray data = IcnsImage::toData({small, large});
    EXPECT_TRUE(data.startsWith("icns"));
    for (auto [wanted, side] :
         {std::pair{0, 256}, {100, 128}, {128, 128}, {200, 256}, {900, 256}}) {
        EXPECT_EQ(IcnsImage::fromData(data, wanted).width(), side) << wanted;
    }
    for (QByteArray broken :
         {QByteArray(), QByteArray("icns"), data.left(40), QByteArray("png!")}) {
        EXPECT_LE(IcnsImage::fromData(broken).width(), 0);
    }
}

using BundleFilterTest = EditorTest;

TEST_F(BundleFilterTest, ABundleIsAFolderWithTheExactExtension) {
    std::filesystem::create_directories(temp() / "A.docktheme");
    std::filesystem::create_directories(temp() / "B.DOCKTHEME");
    writeFile(temp() / "C.docktheme", "a file");
    QStringList types{"docktheme"};
    auto at = [&](const char* name) { return QString::fromStdString((temp() / name).string()); };
    EXPECT_TRUE(BundleFilter::isBundle(at("A.docktheme"), types));
    EXPECT_FALSE(BundleFilter::isBundle(at("B.DOCKTHEME"), types));
    EXPECT_FALSE(BundleFilter::isBundle(at("C.docktheme"), types));
}
