#include "app/MainToolBar.h"

#include "app/AppPictures.h"
#include "platform/Twips.h"

#include <QAction>
#include <QActionGroup>
#include <QToolButton>

namespace {

struct ButtonSpec {
    const char* key;      // empty: a separator
    const char* tooltip;
    const char* picture;
    bool viewGroup;
};

// From the left, as the user sees them.
const ButtonSpec kButtons[] = {
    {"1 つ上のﾌｫﾙﾀﾞへ", "1 つ上のﾌｫﾙﾀﾞへ", "UpLevel", false},
    {"フォルダ作成", "フォルダの作成", "NewFolder", false},
    {"", "", "", false},
    {"圧縮", "圧縮", "Compress", false},
    {"解凍", "解凍", "Extract", false},
    {"", "", "", false},
    {"切り取り", "切り取り", "Cut", false},
    {"ｺﾋﾟｰ", "ｺﾋﾟｰ", "Copy", false},
    {"貼り付け", "貼り付け", "Paste", false},
    {"ごみ", "ごみ箱へ移動", "Dustbox", false},
    {"削除", "ごみ箱を空にする", "Delete", false},
    {"", "", "", false},
    {"分割", "ファイルの分割", "Divide", false},
    {"結合", "ファイルの結合", "Join", false},
    {"", "", "", false},
    {"", "", "", false},
    {"大きいｱｲｺﾝ", "大きいｱｲｺﾝ", "Largeico", true},
    {"小さいｱｲｺﾝ", "小さいｱｲｺﾝ", "Smallico", true},
    {"一覧", "一覧", "Listico", true},
    {"詳細", "詳細", "Reportico", true},
    {"", "", "", false},
    {"終了", "終了", "Exit", false},
};

const QString kViewKeys[] = {QStringLiteral("大きいｱｲｺﾝ"), QStringLiteral("小さいｱｲｺﾝ"),
                             QStringLiteral("一覧"), QStringLiteral("詳細")};

} // namespace

MainToolBar::MainToolBar(QWidget* parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("tbToolBar"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setFixedHeight(Twips::toPixelsY(420));

    viewGroup_ = new QActionGroup(this);
    viewGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);

    for (const ButtonSpec& spec : kButtons) {
        const QString key = QString::fromUtf8(spec.key);
        if (key.isEmpty()) {
            addSeparator();
            continue;
        }
        QAction* action = addAction(AppPictures::tbImageList().value(QString::fromUtf8(spec.picture)),
                                    QString());
        action->setObjectName(key);
        action->setToolTip(QString::fromUtf8(spec.tooltip));
        // The buttons show pictures only; screen readers read the tooltip.
        widgetForAction(action)->setAccessibleName(action->toolTip());
        if (spec.viewGroup) {
            action->setCheckable(true);
            viewGroup_->addAction(action);
        }
        widgetForAction(action)->setObjectName(key);
        connect(action, &QAction::triggered, this, [this, key] { emit ButtonClick(key); });
    }
}

QString MainToolBar::viewKey(int mode)
{
    return mode >= 0 && mode < 4 ? kViewKeys[mode] : QString();
}

const QStringList& MainToolBar::buttonKeys()
{
    static const QStringList keys = [] {
        QStringList list;
        for (const ButtonSpec& spec : kButtons)
            list << QString::fromUtf8(spec.key);
        return list;
    }();
    return keys;
}

QAction* MainToolBar::buttonAction(const QString& key) const
{
    if (key.isEmpty())
        return nullptr;
    for (QAction* action : actions())
        if (action->objectName() == key)
            return action;
    return nullptr;
}

QToolButton* MainToolBar::button(const QString& key) const
{
    QAction* action = buttonAction(key);
    return action ? qobject_cast<QToolButton*>(widgetForAction(action)) : nullptr;
}

void MainToolBar::pressViewButton(int mode)
{
    for (int m = 0; m < 4; ++m)
        if (QAction* action = buttonAction(kViewKeys[m]))
            action->setChecked(m == mode);
}

int MainToolBar::pressedViewMode() const
{
    for (int m = 0; m < 4; ++m)
        if (QAction* action = buttonAction(kViewKeys[m]); action && action->isChecked())
            return m;
    return -1;
}
