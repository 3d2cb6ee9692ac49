// The simulator library; its parts arrive with the instrument link.
