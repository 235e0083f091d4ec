#pragma once
// The 16x16 pictures of the database objects, shared by the workspace tree and the
// relationship diagram, by their index in the strip. The pictures are drawn in code,
// sharp at 16 and at 32 pixels for high-density screens.
#include <QIcon>

#include <vector>

inline constexpr int OBJECT_IMAGE_DATABASE = 0;
inline constexpr int OBJECT_IMAGE_TABLE = 2;
inline constexpr int OBJECT_IMAGE_TRIGGER = 3;
inline constexpr int OBJECT_IMAGE_VIEW = 4;
inline constexpr int OBJECT_IMAGE_INDEX = 6; // a key: an index, and a primary-key column in the diagram
inline constexpr int OBJECT_IMAGE_COLUMN_FOLDER = 7;
inline constexpr int OBJECT_IMAGE_COLUMN = 8;
inline constexpr int OBJECT_IMAGE_COUNT = 9; // pictures 1 and 5 are empty
inline constexpr int OBJECT_IMAGE_SIZE = 16;

class CObjectImageList {
public:
    CObjectImageList();

    int GetImageCount() const { return static_cast<int>(m_arrIcons.size()); }
    // A null icon for an index outside the strip.
    QIcon GetIcon(int index) const;
    // An empty picture of the strip's size, to keep texts aligned beside items without one.
    QIcon GetBlankIcon() const { return m_blank; }

private:
    std::vector<QIcon> m_arrIcons;
    QIcon m_blank;
};
