#include "AppTestSupport.h"

#include "app/AppPictures.h"
#include "platform/InterfaceFont.h"
#include "platform/ScriptedPrompter.h"

#include <QDate>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QtTest>

// The controls of the main window as users and the commands find them: the
// exact captions, keys, tooltips, shortcuts and initial states.
class tst_MainControls : public QObject {
    Q_OBJECT

    SettingsSandbox* box_ = nullptr;
    ScriptedPrompter* prompter_ = nullptr;
    frmMain* w_ = nullptr;

    // Caption of each item of a menu, "-" for a separator, "name=caption[shortcut]".
    static QStringList describe(const QMenu* menu)
    {
        QStringList out;
        for (const QAction* a : menu->actions()) {
            if (a->isSeparator()) {
                out << a->objectName() + "=-";
                continue;
            }
            QString text = a->objectName() + "=" + a->text();
            if (!a->shortcut().isEmpty())
                text += "[" + a->shortcut().toString() + "]";
            if (a->isChecked())
                text += "✓";
            out << text;
        }
        return out;
    }

private slots:
    void init()
    {
        box_ = new SettingsSandbox;
        prompter_ = new ScriptedPrompter;
        w_ = new frmMain(*prompter_);
    }

    void cleanup()
    {
        delete w_;
        delete prompter_;
        delete box_;
    }

    void oneJapaneseFaceForEveryText()
    {
        QCOMPARE(InterfaceFont::choose("DejaVu Sans", {"IPAGothic", "IPAPGothic"}), QString("IPAPGothic"));
        QCOMPARE(InterfaceFont::choose("IPAGothic", {"IPAGothic", "IPAPGothic"}), QString("IPAGothic"));
        QCOMPARE(InterfaceFont::choose("DejaVu Sans", {"Some Mincho"}), QString("Some Mincho"));
        QCOMPARE(InterfaceFont::choose("DejaVu Sans", {}), QString());

        const QFont before = QApplication::font();
        InterfaceFont::apply();
        const QString family = QFontInfo(QApplication::font()).family();
        QVERIFY2(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese), qPrintable(family));
        QCOMPARE(QApplication::font().pointSizeF(), before.pointSizeF());
        frmMain w(*prompter_);
        for (const QWidget* widget : std::initializer_list<const QWidget*>{
                 w.lblTitle(1), w.menus()->mnuFile, w.lvListView, w.tvTreeView, w.sbStatusBar})
            QCOMPARE(QFontInfo(widget->font()).family(), family);
        QApplication::setFont(before);
    }

    void windowIconIsTheInstalledIcon()
    {
        // The window shows the very picture the application menu shows.
        for (int size : {16, 48}) {
            const QImage installed(QStringLiteral(KESTREL_DIST_ICONS "/org.bramble.Kestrel-%1.png").arg(size));
            QVERIFY(!installed.isNull());
            const QImage shown = w_->windowIcon().pixmap(QSize(size, size)).toImage();
            // The pixmap keeps its pixels premultiplied; so must the file's to compare.
            QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     installed.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
    }

    void menus()
    {
        QStringList bar;
        for (const QAction* a : w_->menuBar()->actions())
            bar << a->objectName() + "=" + a->text();
        QCOMPARE(bar, (QStringList{"mnuFile=ﾌｧｲﾙ(&F)", "mnuEdit=編集(&E)", "mnuView=表示(&V)",
                                   "mnuHelp=ﾍﾙﾌﾟ(&H)"}));
        QCOMPARE(describe(w_->menus()->mnuFile),
                 (QStringList{"mnuFileDivide=分割", "mnuFileJoin=結合", "mnuFileCompress=圧縮",
                              "mnuFileExtract=解凍", "mnuFileDelete=ごみ箱に移動(&D)[Del]",
                              "mnuFileVacume=ごみ箱を空にする(&B)", "mnuFileBar1=-", "mnuFileBar3=-",
                              "mnuFileClose=閉じる(&C)"}));
        QVERIFY(!w_->menus()->mnuFile->separatorsCollapsible());
        QCOMPARE(describe(w_->menus()->mnuEdit),
                 (QStringList{"mnuEditCut=切り取り(&T)[Ctrl+X]", "mnuEditCopy=ｺﾋﾟｰ(&C)[Ctrl+C]",
                              "mnuEditPaste=貼り付け(&P)[Ctrl+V]", "mnuEditBar1=-",
                              "mnuEditSelectAll=すべて選択(&A)[Ctrl+A]"}));
        QCOMPARE(describe(w_->menus()->mnuView),
                 (QStringList{"mnuViewToolbar=ﾂｰﾙ ﾊﾞｰ(&T)✓", "mnuViewStatusBar=ｽﾃｰﾀｽ ﾊﾞｰ(&B)✓",
                              "mnuViewBar0=-", "mnuListViewMode_0=大きいｱｲｺﾝ(&G)",
                              "mnuListViewMode_1=小さいｱｲｺﾝ(&M)", "mnuListViewMode_2=一覧(&L)",
                              "mnuListViewMode_3=詳細(&D)", "mnuViewBar1=-",
                              "mnuViewArrangeIcons=ｱｲｺﾝの整列(&I)", "mnuViewBar2=-",
                              "mnuViewRefresh=最新の情報に更新(&R)"}));
        QCOMPARE(describe(w_->menus()->mnuHelp),
                 (QStringList{"mnuHelpContents=目次(&C)", "mnuHelpSearchForHelpOn=ﾄﾋﾟｯｸの検索(&S)...",
                              "mnuHelpBar0=-", "mnuHelpAbout=ﾊﾞｰｼﾞｮﾝ情報(&A)"}));
        // Tests and later commands find the items by name.
        QCOMPARE(w_->findChild<QAction*>("mnuListViewMode_2"), w_->menus()->mnuListViewMode[2]);
    }

    void toolbarButtons()
    {
        QStringList seen;
        for (QAction* a : w_->tbToolBar->actions()) {
            if (a->isSeparator()) {
                seen << "|";
                continue;
            }
            QToolButton* button = w_->tbToolBar->button(a->objectName());
            QVERIFY(button);
            QCOMPARE(button->objectName(), a->objectName());
            QVERIFY(a->text().isEmpty());
            QVERIFY(!a->icon().isNull());
            seen << a->objectName() + "=" + a->toolTip();
        }
        QCOMPARE(seen, (QStringList{"1 つ上のﾌｫﾙﾀﾞへ=1 つ上のﾌｫﾙﾀﾞへ", "フォルダ作成=フォルダの作成", "|",
                                    "圧縮=圧縮", "解凍=解凍", "|", "切り取り=切り取り", "ｺﾋﾟｰ=ｺﾋﾟｰ",
                                    "貼り付け=貼り付け", "ごみ=ごみ箱へ移動", "削除=ごみ箱を空にする", "|",
                                    "分割=ファイルの分割", "結合=ファイルの結合", "|", "|",
                                    "大きいｱｲｺﾝ=大きいｱｲｺﾝ", "小さいｱｲｺﾝ=小さいｱｲｺﾝ", "一覧=一覧",
                                    "詳細=詳細", "|", "終了=終了"}));
        QCOMPARE(w_->tbToolBar->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QCOMPARE(w_->tbToolBar->iconSize(), QSize(16, 16));
        QCOMPARE(AppPictures::tbImageList().size(), 18);
        for (const char* key : {"Open", "UpLevel", "NewFolder", "Compress", "Extract", "Cut",
                                   "Copy", "Paste", "Dustbox", "Delete", "Divide", "Join",
                                   "Property", "Largeico", "Smallico", "Listico", "Reportico", "Exit"}) {
            const QImage picture = AppPictures::toolbarPicture(key).toImage();
            QCOMPARE(picture.size(), QSize(16, 16));
            // Something is drawn: not a blank square.
            int inked = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    inked += qAlpha(picture.pixel(x, y)) > 0;
            QVERIFY2(inked > 20, qPrintable(key));
        }
    }

    void statusPanels()
    {
        auto* bar = w_->findChild<ClockStatusBar*>("sbStatusBar");
        QVERIFY(bar);
        QCOMPARE(bar->panel(0)->text(), QString("ｽﾃｰﾀｽ"));
        const QDateTime before = QDateTime::currentDateTime();
        const QString date = bar->panel(1)->text();
        // The date is the system's, read just now (allowing for midnight in between).
        QVERIFY(date == ClockStatusBar::dateText(before)
                || date == ClockStatusBar::dateText(before.addSecs(-5)));
        QVERIFY(QTime::fromString(bar->panel(2)->text(), "H:mm").isValid());
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(bar->panel(i)->frameShadow(), QFrame::Sunken);
            QVERIFY(bar->panel(i)->minimumWidth() > 0);
        }
    }

    void controlsByName()
    {
        for (const char* name : {"tbToolBar", "picTitles", "lblTitle_0", "lblTitle_1", "tvTreeView",
                                 "imgSplitter", "picSplitter", "lvListView", "sbStatusBar",
                                 "TimerForToolBar"})
            QVERIFY2(w_->findChild<QObject*>(name), name);
        QCOMPARE(w_->imgSplitter->cursor().shape(), Qt::SizeHorCursor);
        QVERIFY(w_->picSplitter->isHidden());
        QCOMPARE(w_->TimerForToolBar->interval(), 1);
        QVERIFY(w_->TimerForToolBar->isActive());
        QCOMPARE(w_->windowTitle(), QString("Kestrel"));
        QVERIFY(w_->Path().isEmpty());
        QVERIFY(!w_->listClicked());
    }
};

QTEST_MAIN(tst_MainControls)
#include "tst_MainControls.moc"
