Style lexicon of the linguistic engine (placeholder, older than the engine needs).
