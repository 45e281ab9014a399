#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>

// A keyed list of pictures, as the viewer's LargeIconImageList and
// SmallIconImageList: each key once, in the order added, found by hash.
class ImageList {
public:
    bool contains(const QString& key) const { return images_.contains(key); }
    // Adds the picture unless the key is there already.
    void add(const QString& key, const QIcon& icon);
    QIcon image(const QString& key) const { return images_.value(key); }
    const QStringList& keys() const { return keys_; }
    int count() const { return static_cast<int>(keys_.size()); }
    void clear();

private:
    QHash<QString, QIcon> images_;
    QStringList keys_;
};
