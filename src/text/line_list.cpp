#include "text/line_list.h"

#include <new>

listnode* list_push(listnode* newest, void* data, int32_t size) {
  auto* node = new (std::nothrow) listnode();
  if (!node) return newest;
  node->data = data;
  node->size = size;
  node->older = newest;
  if (newest) newest->newer = node;
  return node;
}

void* list_get(listnode* node, int32_t* size, int32_t index) {
  for (; node && index > 0; --index) node = node->older;
  for (; node && index < 0; ++index) node = node->newer;
  if (!node) return nullptr;
  if (size) *size = node->size;
  return node->data;
}

int32_t list_count(listnode* node) {
  int32_t n = 0;
  for (; node; node = node->older) ++n;
  return n;
}

int32_t list_keep_newest(listnode* newest, int32_t keep) {
  listnode* last = newest;
  for (int32_t i = 1; last && i < keep; ++i) last = last->older;
  if (!last || !last->older) return 0;
  listnode* cut = last->older;
  last->older = nullptr;
  cut->newer = nullptr;
  const int32_t freed = list_count(cut);
  list_free(cut);
  return freed;
}

void list_free(listnode* node) {
  if (!node) return;
  while (node->older) node = node->older;
  while (node) {
    listnode* newer = node->newer;
    delete[] static_cast<char*>(node->data);
    delete node;
    node = newer;
  }
}

listnode* list_remove(listnode* newest, const void* data) {
  for (listnode* n = newest; n; n = n->older) {
    if (n->data != data) continue;
    if (n->older) n->older->newer = n->newer;
    if (n->newer) n->newer->older = n->older;
    listnode* result = n == newest ? n->older : newest;
    delete n;
    return result;
  }
  return newest;
}
