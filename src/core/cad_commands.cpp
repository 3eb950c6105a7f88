// Typing commands into a running CAD application and reading its prompts.
