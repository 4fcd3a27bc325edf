#include "about/aboutres.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QLabel* AddValueRow(QGridLayout& grid, const char* caption, const char* text,
                    const char* objectName) {
    const int row = grid.rowCount();
    auto* value = new QLabel(QString::fromLatin1(text));
    value->setObjectName(QString::fromLatin1(objectName));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid.addWidget(new QLabel(QString::fromLatin1(caption)), row, 0);
    grid.addWidget(value, row, 1);
    return value;
}

QTreeWidget* MakeFileList() {
    auto* list = new QTreeWidget;
    list->setObjectName(QStringLiteral("fileList"));
    list->setFrameShape(QFrame::StyledPanel);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setColumnCount(0);
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(false);
    list->setFixedSize(400, 160);
    return list;
}

}  // namespace

AboutControls BuildAboutDialog(QDialog& dialog) {
    dialog.setWindowTitle(QStringLiteral("About this Application..."));
    AboutControls controls;

    controls.appName = new QLabel(QStringLiteral("[Application Name]"));
    controls.appName->setObjectName(QStringLiteral("appName"));
    QFont bold = controls.appName->font();
    bold.setBold(true);
    controls.appName->setFont(bold);

    auto* versions = new QGridLayout;
    controls.clientVersion =
        AddValueRow(*versions, "Client Version:", "[Client Version]", "clientVersion");
    controls.serverVersion =
        AddValueRow(*versions, "Server Version:", "Server not installed", "serverVersion");

    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* owner = new QGridLayout;
    controls.licensee = AddValueRow(*owner, "Licensed To:", "[Licensee]", "licensee");
    controls.company = AddValueRow(*owner, "Company:", "[Company]", "company");
    controls.fileList = MakeFileList();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(controls.appName);
    layout->addLayout(versions);
    layout->addWidget(
        new QLabel(QStringLiteral("Administration client of the Kestrova Telvane Server")));
    layout->addWidget(line);
    layout->addLayout(owner);
    layout->addWidget(controls.fileList);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return controls;
}
