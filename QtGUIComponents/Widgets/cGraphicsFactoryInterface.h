#pragma once

#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <mutex>

// What a drawn image is cached under: the size it was drawn at and its style id.
struct sGraphicsKey
{
    QSize size;
    QString id;
};

inline bool operator==(const sGraphicsKey& a, const sGraphicsKey& b)
{
    return a.size == b.size && a.id == b.id;
}

inline uint qHash(const sGraphicsKey& key, uint seed = 0)
{
    return qHash(key.id, 0) ^ uint(key.size.width()) ^ uint(key.size.height()) ^ seed;
}

// The one process-wide cache of drawn widget images, keyed by size and style id, in front of the
// painters of tPainters. Each image is drawn once per key and served from the cache afterwards;
// entries are never evicted and live as long as the factory.
//
// Threads: the image-loader threads use it, several at once. GetGraphicsFactory creates the object
// once whichever thread asks first; each Lookup and Store is atomic under the cache lock; painting
// runs outside the lock, so two threads that miss on one key both paint and the later store wins.
// DeleteGraphicsFactory must not race a user of the factory (nothing in the program calls it).
// Both locks are plain non-recursive std::mutex, which ThreadSanitizer sees.
template <class tPainters>
class cGraphicsFactoryInterface
{
public:
    virtual ~cGraphicsFactoryInterface() = default;

    // The factory, created (with an empty cache) on first use.
    static cGraphicsFactoryInterface* GetGraphicsFactory()
    {
        cGraphicsFactoryInterface* factory = sInstance.load(std::memory_order_acquire);
        if (factory != nullptr)
        {
            return factory;
        }
        const std::lock_guard<std::mutex> lock(sCreationMutex);
        factory = sInstance.load(std::memory_order_relaxed);
        if (factory == nullptr)
        {
            factory = new cGraphicsFactoryInterface();
            sInstance.store(factory, std::memory_order_release);
        }
        return factory;
    }

    // Deletes the factory and its cache; the next GetGraphicsFactory makes a new one.
    static void DeleteGraphicsFactory()
    {
        cGraphicsFactoryInterface* factory = nullptr;
        {
            const std::lock_guard<std::mutex> lock(sCreationMutex);
            factory = sInstance.exchange(nullptr, std::memory_order_acq_rel);
        }
        delete factory;
    }

    // The cached image for (size, id), or a null image when there is none.
    QImage Lookup(QSize size, const QString& id)
    {
        const std::lock_guard<std::mutex> lock(mCacheMutex);
        return mCache.value(sGraphicsKey{size, id});
    }

    // Sets the entry for (size, id), replacing what was there.
    void Store(QSize size, const QString& id, const QImage& image)
    {
        const std::lock_guard<std::mutex> lock(mCacheMutex);
        mCache.insert(sGraphicsKey{size, id}, image);
    }

    // The image tPainter::GetPixmap draws for (size, id), from the cache when it is there. An empty
    // size (a width or height of 0 or less) gives a null image and touches nothing. A null image
    // that the painter returns is stored too, and taken for a miss next time.
    template <class tPainter>
    QImage GetCachedPixmap(QSize size, const QString& id)
    {
        if (size.width() <= 0 || size.height() <= 0)
        {
            return QImage();
        }
        QImage image = Lookup(size, id);
        if (image.isNull())
        {
            image = tPainter::GetPixmap(size, id);
            Store(size, id, image);
        }
        return image;
    }

private:
    cGraphicsFactoryInterface() = default;

    QHash<sGraphicsKey, QImage> mCache;
    std::mutex mCacheMutex;

    inline static std::atomic<cGraphicsFactoryInterface*> sInstance{nullptr};
    inline static std::mutex sCreationMutex;
};
