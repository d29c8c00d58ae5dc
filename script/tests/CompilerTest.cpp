// TEST placeholder
