#include "app/WelcomeView.h"

#include "ui_WelcomeView.h"

WelcomeView::WelcomeView(QWidget* parent)
    : QObject(new QWidget(parent)),
      ui_(std::make_unique<Ui::WelcomeView>()),
      widget_(static_cast<QWidget*>(QObject::parent())) {
    ui_->setupUi(widget_);
    connect(ui_->welcome_new, &QPushButton::clicked, this, &WelcomeView::newWanted);
    connect(ui_->welcome_open, &QPushButton::clicked, this, &WelcomeView::openWanted);
    connect(ui_->welcome_backup, &QPushButton::clicked, this, &WelcomeView::backupWanted);
    connect(ui_->welcome_guide, &QPushButton::clicked, this, &WelcomeView::guideWanted);
}

WelcomeView::~WelcomeView() = default;

void WelcomeView::setPicture(const QImage& picture) {
    ui_->welcome_image->setImage(picture);
}

void WelcomeView::setDropResponder(DropResponder* responder) {
    ui_->welcome_image->setResponderClass(responder);
}

bool WelcomeView::isDropPicture(const DragDropImageView* view) const {
    return view == ui_->welcome_image;
}
