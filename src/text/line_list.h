#pragma once
// A doubly linked list of data blocks, newest first, handled through its newest
// node. Nodes own their blocks (allocated with new char[]).

#include <cstdint>

struct listnode {
  listnode* older = nullptr;
  listnode* newer = nullptr;
  void* data = nullptr;
  int32_t size = 0;
};

listnode* list_push(listnode* newest, void* data, int32_t size);
// The block `index` steps from `node` (older for positive, newer for negative);
// null, storing nothing, when the walk leaves the list.
void* list_get(listnode* node, int32_t* size, int32_t index);
int32_t list_count(listnode* node);
// Frees the nodes older than the newest `keep` (at least 1), with their blocks;
// returns how many were freed.
int32_t list_keep_newest(listnode* newest, int32_t keep);
// Frees the whole list, from any of its nodes, with every block.
void list_free(listnode* node);
// Unlinks the node holding `data` without freeing the block (for lists that refer
// to objects they do not own); returns the new newest node.
listnode* list_remove(listnode* newest, const void* data);
