#include "update/ThemeUpdater.h"

#include "model/ArchiveImport.h"
#include "update/UpdateTransfer.h"

ThemeUpdater::ThemeUpdater(ThemeCheck::Decoder decoder, QObject* parent)
    : QObject(parent), decoder_(std::move(decoder)) {}

ThemeUpdater::~ThemeUpdater() = default;

void ThemeUpdater::check(const std::string&) {}
void ThemeUpdater::install(const std::string&, const AppcastItem&, bool, Placer) {}
void ThemeUpdater::cancel() {}
