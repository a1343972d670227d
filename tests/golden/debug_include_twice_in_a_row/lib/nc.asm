; nothing but a comment
