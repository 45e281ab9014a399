#include "FakeBrowseHost.h"
#include "TestTree.h"

#include "browse/FileListModel.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace TestTree;

// The tree over a temporary folder standing as the only volume, plus a
// volume whose medium is gone.
class tst_FolderTree : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeBrowseHost> host_;
    QString vol() const { return dir_->path() + QStringLiteral("/vol/"); }
    QString dead() const { return dir_->path() + QStringLiteral("/dead/"); }
    FolderTree& tree() { return host_->tree; }
    QTreeWidgetItem* node(const QString& relative) { return tree().nodeByKey(vol() + relative); }
    QStringList childTexts(QTreeWidgetItem* n)
    {
        QStringList out;
        for (int i = 0; i < n->childCount(); ++i)
            out << n->child(i)->text(0);
        return out;
    }
    QStringList listed()
    {
        QStringList out;
        for (int i = 0; i < host_->list.count(); ++i)
            out << host_->list.item(i).name;
        return out;
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        makeFolder(vol() + "c");
        makeFolder(vol() + "a/.hidden");
        makeFolder(vol() + "b");
        makeFile(vol() + "b/file.txt");
        makeFile(vol() + "top.txt");
        makeFolder(dead());
        host_ = std::make_unique<FakeBrowseHost>();
        const QString volKey = vol();
        const QString deadKey = dead();
        tree().setVolumeSource([volKey, deadKey] {
            return QList<FolderTree::Volume> {{volKey, "DATA (" + volKey + ")", "drive-harddisk"},
                                              {deadKey, "USB", "drive-removable-media"}};
        });
        tree().setFolderProbe([deadKey](const QString& path) {
            if (path.startsWith(deadKey))
                return ENOMEDIUM;
            return ::access(QFile::encodeName(path).constData(), R_OK) == 0 ? 0 : errno;
        });
        tree().AddDriveNodes();
    }

    void volumesStartWithOnlyAPlaceholder()
    {
        QCOMPARE(tree().topLevelItemCount(), 2);
        QTreeWidgetItem* drive = node("");
        QVERIFY(drive);
        QCOMPARE(drive->text(0), "DATA (" + vol() + ")");
        QCOMPARE(drive->childCount(), 1);
        QVERIFY(FolderTree::isPlaceholder(drive->child(0)));
        QCOMPARE(drive->child(0)->text(0), QStringLiteral("\\\\DUMMY\\\\"));
        QCOMPARE(FolderTree::keyOf(drive->child(0)), vol() + "\\\\DUMMY\\\\/");
        QCOMPARE(tree().readCount(vol()), 0);
        QVERIFY(tree().selectedKey().isEmpty());
    }

    void openingReadsOneLevelAheadAndOnlyOnce()
    {
        QTreeWidgetItem* drive = node("");
        drive->setExpanded(true);  // as the user does
        QCOMPARE(childTexts(drive), (QStringList {"a", "b", "c"}));
        // A plus sign exactly where there is a subfolder; a hidden one counts.
        QCOMPARE(node("a/")->childCount(), 1);
        QVERIFY(FolderTree::isPlaceholder(node("a/")->child(0)));
        QCOMPARE(node("b/")->childCount(), 0);
        QCOMPARE(node("c/")->childCount(), 0);
        QCOMPARE(tree().readCount(vol()), 1);
        QCOMPARE(tree().readCount(vol() + "a/"), 0);

        node("a/")->setExpanded(true);
        QCOMPARE(childTexts(node("a/")), (QStringList {".hidden"}));
        QCOMPARE(FolderTree::keyOf(node("a/")->child(0)), vol() + "a/.hidden/");

        // Opening again reads nothing; a folder made meanwhile waits for F5.
        makeFolder(vol() + "d");
        drive->setExpanded(false);
        drive->setExpanded(true);
        QCOMPARE(tree().readCount(vol()), 1);
        QVERIFY(!node("d/"));
        // The first expansion of a volume with no current path made it current,
        // so the rebuild opens the tree there again.
        QCOMPARE(host_->Path(), vol());
        QTest::keyClick(&tree(), Qt::Key_F5);
        QVERIFY(node("d/"));
        QCOMPARE(tree().selectedKey(), vol());
    }

    void aFolderNamedLikeThePlaceholderIsAFolder()
    {
        makeFolder(vol() + "\\\\DUMMY\\\\");
        node("")->setExpanded(true);
        QTreeWidgetItem* odd = node("\\\\DUMMY\\\\/");
        QVERIFY(odd);
        QVERIFY(!FolderTree::isPlaceholder(odd));
        tree().chooseNode(odd);
        QCOMPARE(host_->Path(), vol() + "\\\\DUMMY\\\\/");
        node("")->setExpanded(false);
        node("")->setExpanded(true);
        QCOMPARE(tree().readCount(vol()), 1);
    }

    void foldersDifferingInCaseAreTwoNodes()
    {
        makeFolder(vol() + "A");
        makeFolder(vol() + "B");
        tree().setPath(vol());
        QCOMPARE(childTexts(node("")), (QStringList {"A", "a", "B", "b", "c"}));
        QVERIFY(node("A/") != node("a/"));
        QCOMPARE(node("A/")->text(0), QStringLiteral("A"));
    }

    void choosingAVolumeSetsPathTitlesAndList()
    {
        host_->setListClicked(true);
        tree().chooseNode(node(""));
        QCOMPARE(host_->Path(), vol());
        QCOMPARE(host_->title0.text(), dir_->path() + "/vol");
        QCOMPARE(host_->title1.text(), vol());
        QCOMPARE(listed(), (QStringList {"a", "b", "c", "top.txt"}));
        QVERIFY(!host_->listClicked());
        QVERIFY(host_->prompts.questions().isEmpty());
    }

    void settingAPathCutsAMissingTail()
    {
        tree().setPath(vol() + "a/.hidden/gone/deeper/");
        QCOMPARE(host_->Path(), vol() + "a/.hidden/");
        QCOMPARE(tree().selectedKey(), vol() + "a/.hidden/");
        QVERIFY(node("a/")->isExpanded());
        QCOMPARE(host_->title1.text(), vol() + "a/.hidden/");
        // "." and ".." and doubled slashes are folded first.
        tree().setPath(vol() + "b//../c/./");
        QCOMPARE(host_->Path(), vol() + "c/");
        QCOMPARE(tree().selectedKey(), vol() + "c/");
        // A path that no volume holds changes nothing.
        tree().setPath(QStringLiteral("/no/such/volume/"));
        QCOMPARE(host_->Path(), vol() + "c/");
    }

    void settingAPathListsThatFolder()
    {
        tree().setPath(vol() + "b");
        QCOMPARE(host_->Path(), vol() + "b/");
        QCOMPARE(listed(), (QStringList {"file.txt"}));
    }

    void refreshBeforeAnyChoiceSelectsNothing()
    {
        node("")->setExpanded(true);
        host_->storePath(QString());
        host_->list.clear();
        QTest::keyClick(&tree(), Qt::Key_F5);
        QCOMPARE(tree().topLevelItemCount(), 2);
        QVERIFY(FolderTree::isPlaceholder(node("")->child(0)));
        QVERIFY(tree().selectedKey().isEmpty());
        QVERIFY(host_->Path().isEmpty());
        QCOMPARE(host_->list.count(), 0);
        QCOMPARE(tree().readCount(vol()), 0);
    }

    void refreshFallsBackToTheNearestExistingFolder()
    {
        tree().setPath(vol() + "a/.hidden/");
        QDir(vol() + "a/.hidden").removeRecursively();
        makeFolder(vol() + "e");
        tree().tvTreeView_Refresh();
        QCOMPARE(host_->Path(), vol() + "a/");
        QCOMPARE(tree().selectedKey(), vol() + "a/");
        QVERIFY(node("e/"));  // read again from disk
        QCOMPARE(node("a/")->childCount(), 0);
        // Shift+F5 is not the refresh key.
        makeFolder(vol() + "f");
        QTest::keyClick(&tree(), Qt::Key_F5, Qt::ShiftModifier);
        QVERIFY(!node("f/"));
    }

    void volumeWithoutMediumIsNotReady()
    {
        tree().chooseNode(node(""));
        host_->prompts.answerMessage(Prompter::Answer::Ok, QStringLiteral("ドライブが準備されていません"));
        tree().chooseNode(tree().nodeByKey(dead()));
        QCOMPARE(host_->prompts.questions().size(), 1);
        QCOMPARE(host_->prompts.questions()[0].icon, Prompter::Icon::Stop);
        QCOMPARE(host_->prompts.questions()[0].title, QStringLiteral("Kestrel"));
        QCOMPARE(host_->list.count(), 0);
        QCOMPARE(host_->Path(), vol());
        // Opening it instead closes it again without a word.
        QTreeWidgetItem* deadNode = tree().nodeByKey(dead());
        deadNode->setExpanded(true);
        QVERIFY(!deadNode->isExpanded());
        QCOMPARE(host_->prompts.questions().size(), 1);
    }

    void folderThatCannotBeReadShowsItsError()
    {
        tree().setPath(vol() + "a/");
        tree().chooseNode(node(""));
        QDir(vol() + "a").removeRecursively();
        host_->prompts.answerMessage(Prompter::Answer::Ok, QStringLiteral("パスが見つかりません: &H4C"));
        tree().chooseNode(node("a/"));
        QCOMPARE(host_->prompts.questions().size(), 1);
        QCOMPARE(host_->prompts.questions()[0].icon, Prompter::Icon::Stop);
        QVERIFY(tree().isEnabled());
        // The gone folder leaves the tree; tree, titles and list agree on the nearest folder left.
        QVERIFY(!node("a/"));
        QCOMPARE(host_->Path(), vol());
        QCOMPARE(tree().selectedKey(), vol());
        QCOMPARE(host_->title1.text(), vol());
        QCOMPARE(listed(), (QStringList{"b", "c", "top.txt"}));
    }

    void aGoneFolderDeepDownSettlesOnItsNearestAncestor()
    {
        makeFolder(vol() + "b/x/y");
        tree().setPath(vol() + "b/x/y/");
        tree().chooseNode(node("b/x/y/"));
        QDir(vol() + "b/x").removeRecursively();
        host_->prompts.answerMessage(Prompter::Answer::Ok);
        tree().chooseNode(node("b/x/y/"));
        QCOMPARE(host_->Path(), vol() + "b/");
        QCOMPARE(tree().selectedKey(), vol() + "b/");
        QCOMPARE(listed(), QStringList{"file.txt"});
    }

    void doubleClickOpensFoldersNotFiles()
    {
        tree().chooseNode(node(""));
        host_->setListClicked(true);
        host_->list.selectOnly(vol() + "top.txt");
        host_->list.lvListView_DblClick();
        QCOMPARE(host_->Path(), vol());

        host_->list.selectOnly(vol() + "a");
        host_->list.lvListView_DblClick();
        QCOMPARE(host_->Path(), vol() + "a/");
        QCOMPARE(tree().selectedKey(), vol() + "a/");
        QCOMPARE(listed(), (QStringList {".hidden"}));
        QCOMPARE(host_->title1.text(), vol() + "a/");

        // Back to the volume, whose node is already open: opening still works.
        tree().chooseNode(node(""));
        QVERIFY(node("")->isExpanded());
        host_->list.selectOnly(vol() + "b");
        host_->list.lvListView_DblClick();
        QCOMPARE(host_->Path(), vol() + "b/");
        QCOMPARE(tree().selectedKey(), vol() + "b/");
        QCOMPARE(listed(), (QStringList {"file.txt"}));
        QCOMPARE(tree().readCount(vol()), 1);
    }

    void keyboardWorksInTheList()
    {
        tree().chooseNode(node(""));
        host_->list.resize(400, 300);
        host_->list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host_->list));
        for (int mode : {0, 1, 2, 3}) {
            tree().chooseNode(node(""));
            host_->list.setView(mode);
            host_->list.setFocus();
            QAbstractItemView* view = host_->list.currentView();
            view->setCurrentIndex(host_->list.model()->index(0, 0));  // "a"
            QVERIFY(host_->listClicked());  // moving in the list is choosing there
            QTest::keyClick(view, mode == 2 || mode == 3 ? Qt::Key_Down : Qt::Key_Right);
            QCOMPARE(host_->list.selectedItems().size(), 1);
            QCOMPARE(host_->list.selectedItems().first().name, QStringLiteral("b"));
            QTest::keyClick(view, Qt::Key_Return);
            QCOMPARE(host_->Path(), vol() + "b/");
            QCOMPARE(listed(), (QStringList {"file.txt"}));
        }
    }

    void mouseDoubleClickOpensAFolder()
    {
        host_->list.resize(400, 300);
        host_->list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host_->list));
        for (int mode : {0, 3}) {
            tree().chooseNode(node(""));
            host_->list.setView(mode);
            QAbstractItemView* view = host_->list.currentView();
            view->doItemsLayout();
            const QRect rect = view->visualRect(host_->list.model()->index(1, 0));  // "b"
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
            QCOMPARE(host_->Path(), vol() + "b/");
            QCOMPARE(listed(), (QStringList {"file.txt"}));
            QCOMPARE(tree().selectedKey(), vol() + "b/");
        }
    }

    void collapsingMakesTheNodeCurrent()
    {
        tree().setPath(vol() + "a/.hidden/");
        host_->setListClicked(true);
        node("a/")->setExpanded(false);  // as the user does
        QCOMPARE(host_->Path(), vol() + "a/");
        QCOMPARE(tree().selectedKey(), vol() + "a/");
        QCOMPARE(listed(), (QStringList {".hidden"}));
        QVERIFY(!host_->listClicked());
    }

    void longNamesScrollInsteadOfBeingCut()
    {
        const QString name = QStringLiteral("長いフォルダ名のテストです-and-more-words");
        makeFolder(vol() + name);
        tree().resize(120, 200);
        tree().show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree()));
        tree().setPath(vol() + name + "/");
        QCoreApplication::processEvents();
        QTreeWidgetItem* n = node(name + "/");
        QVERIFY(n);
        // The whole name is drawn: the column is as wide as its longest text
        // and the tree scrolls sideways to it.
        const int textWidth = tree().fontMetrics().horizontalAdvance(name);
        QVERIFY2(tree().visualItemRect(n).width() >= textWidth,
                 qPrintable(QString::number(tree().visualItemRect(n).width())));
        QVERIFY(tree().horizontalScrollBar()->maximum() > 0);
    }

    void iconsAreSharedAndEmptiedOnRebuild()
    {
        tree().setPath(vol() + "a/.hidden/");
        const auto& icons = tree().IconImageList();
        QVERIFY(icons.contains(QStringLiteral("ICON:drive-harddisk")));
        QVERIFY(icons.contains(QStringLiteral("ICON:folder")));
        // Five folders, two volumes: one picture per icon, not per node.
        QVERIFY(icons.size() <= 4);
        QCOMPARE(node("a/")->data(0, FolderTree::ImageKeyRole).toString(), QStringLiteral("ICON:folder"));
        tree().tvTreeView_Refresh();
        QVERIFY(icons.size() <= 4);
    }

    void anyNumberOfVolumes()
    {
        const QString base = vol();
        tree().setVolumeSource([base] {
            QList<FolderTree::Volume> many;
            for (int i = 0; i < 40; ++i)
                many.append({base + QString::number(i) + "/", QString::number(i), QString()});
            return many;
        });
        tree().tvTreeView_Refresh();
        QCOMPARE(tree().topLevelItemCount(), 40);
    }
};

QTEST_MAIN(tst_FolderTree)
#include "tst_FolderTree.moc"
